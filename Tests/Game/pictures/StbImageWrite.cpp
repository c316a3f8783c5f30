// The PNG writer that the picture tests share: its code lives in this one file.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
