# SPDX-License-Identifier: MIT
# Cross build for 64-bit Windows with Debian's mingw-w64 compiler (POSIX threads flavour, for
# std::thread): static executables that need no DLL beside them, run under Wine by CTest.
# TARN_WINDOWS_DEPS names the prefix where scripts/build-windows put the libraries it built
# with this compiler (libjpeg, libwebp, GoogleTest, CLI11's header), TARN_WINDOWS_QT the static
# Qt of scripts/build-windows-qt, whose moc and rcc are the host's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# try_compile projects read this file again and need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARN_WINDOWS_DEPS TARN_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TARN_WINDOWS_DEPS} ${TARN_WINDOWS_QT})
if(TARN_WINDOWS_QT)
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(TARN_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${TARN_WINDOWS_DEPS}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# GCC 12 warns wrongly, for this target only, about overlapping copies in string concatenation
# (its bug 105329) and about string views of strings that are set.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict -Wno-maybe-uninitialized")
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
