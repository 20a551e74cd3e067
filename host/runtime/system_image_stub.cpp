// The native stand-in of one of the system's images (QV_IMAGE_INSTALL_NAME): the library links
// it as it links the framework on a phone, so that loading the library loads it first. Its
// initialiser tells the host, which then defines the image's classes.
extern "C" __attribute__((weak)) void qv_system_image_loaded(const char* installName);

namespace {

__attribute__((constructor)) void announce() {
  if (qv_system_image_loaded) qv_system_image_loaded(QV_IMAGE_INSTALL_NAME);
}

}  // namespace
