# Copies every file under SOURCE to DEST, keeping the folder layout, but never over an existing file.
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(relative ${files})
    if(NOT EXISTS ${DEST}/${relative})
        get_filename_component(folder ${DEST}/${relative} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(COPY_FILE ${SOURCE}/${relative} ${DEST}/${relative} ONLY_IF_DIFFERENT)
    endif()
endforeach()
