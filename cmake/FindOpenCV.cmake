# find_package(OpenCV REQUIRED COMPONENTS core imgproc objdetect)
#
# Debian puts OpenCV's own CMake package file in libopencv-dev, which drags in every OpenCV
# module (contrib, viz, video ...). We need three modules, whose -dev packages ship only headers
# and libraries; so this module takes OpenCV's package file when it is there and otherwise finds
# the requested modules itself. Either way each module is the imported target opencv_<module>.
find_package(OpenCV QUIET NO_MODULE COMPONENTS ${OpenCV_FIND_COMPONENTS})
if(OpenCV_FOUND)
    return()
endif()

find_path(OpenCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4)
set(_opencv_required OpenCV_INCLUDE_DIR)
foreach(_module IN LISTS OpenCV_FIND_COMPONENTS)
    find_library(OpenCV_${_module}_LIBRARY opencv_${_module})
    list(APPEND _opencv_required OpenCV_${_module}_LIBRARY)
    if(OpenCV_INCLUDE_DIR AND OpenCV_${_module}_LIBRARY AND NOT TARGET opencv_${_module})
        add_library(opencv_${_module} UNKNOWN IMPORTED)
        set_target_properties(opencv_${_module} PROPERTIES
            IMPORTED_LOCATION "${OpenCV_${_module}_LIBRARY}"
            INTERFACE_INCLUDE_DIRECTORIES "${OpenCV_INCLUDE_DIR}")
    endif()
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCV
    REQUIRED_VARS ${_opencv_required}
    REASON_FAILURE_MESSAGE
        "install libopencv-objdetect-dev (scripts/install-deps.sh) for face detection")
unset(_opencv_required)
