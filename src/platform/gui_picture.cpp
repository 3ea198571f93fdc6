// gui::LoadPicture for every backend: the PNG is decoded here and handed to
// the backend's CreatePicture, so no backend needs an image decoder of its own.
#include "platform/gui.h"
#include "platform/png_image.h"

namespace gui {

int LoadPicture(const Text& path) {
  RgbaImage image;
  if (!DecodePngFile(path, image)) return 0;
  return CreatePicture(image.width, image.height, image.rgba);
}

}  // namespace gui
