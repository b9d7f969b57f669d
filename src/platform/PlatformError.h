#pragma once
// Errors raised by the raster layer. The GIF codec's own exception derives from EInvalidGraphic, so
// a caller may catch either the codec's type or this family.

#include <stdexcept>
#include <string>

class EPlatformError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A bitmap or picture that cannot be used as asked ("Bitmap image is not valid", bad row index, ...).
class EInvalidGraphic : public EPlatformError {
  public:
    using EPlatformError::EPlatformError;
};

// Pixel memory or another resource could not be had.
class EOutOfResources : public EPlatformError {
  public:
    using EPlatformError::EPlatformError;
};

// A copy between two kinds of object that do not fit: "Cannot assign a %s to a %s".
class EConvertError : public EPlatformError {
  public:
    using EPlatformError::EPlatformError;
    static EConvertError CannotAssign(const std::string& sourceClass, const std::string& targetClass) {
        return EConvertError("Cannot assign a " + sourceClass + " to a " + targetClass);
    }
};

// A file that cannot be created or written.
class EFileError : public EPlatformError {
  public:
    using EPlatformError::EPlatformError;
};
