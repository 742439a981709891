# cmake -DSOURCE=… -DTARGET=… -P CopyIfMissing.cmake: copies SOURCE to TARGET unless TARGET
# exists, so that a rebuild never overwrites what the program stored there.
if(NOT EXISTS "${TARGET}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
