// The TIFF library's file access on the Mac: its client procedures over File Manager forks, and
// an open call that takes a file reference in place of a path.
#pragma once

#include <CoreServices/Files.h>

#include <tiffio.h>

#include <cstdarg>

// Opens the data fork of ref for the TIFF library: mode "r" reads, "r+" reads and writes; modes
// that would create a file are refused. Null on failure, reported through the library's error
// handler. options may be null.
TIFF* TIFFFSRefOpen(FSRef const* ref, char const* mode, TIFFOpenOptions* options = nullptr);

// Client procedures; the handle's client data is the fork reference number.
tmsize_t _tiffReadProc(thandle_t fork, void* buffer, tmsize_t size);
tmsize_t _tiffWriteProc(thandle_t fork, void* buffer, tmsize_t size);
toff_t _tiffSeekProc(thandle_t fork, toff_t offset, int whence);
int _tiffCloseProc(thandle_t fork);
toff_t _tiffSizeProc(thandle_t fork);
int _tiffMapProc(thandle_t fork, void** base, toff_t* size);
void _tiffUnmapProc(thandle_t fork, void* base, toff_t size);

// Handlers that print the library's messages to the standard error stream.
void MacOSXWarningHandler(char const* module, char const* format, va_list args);
void MacOSXErrorHandler(char const* module, char const* format, va_list args);
