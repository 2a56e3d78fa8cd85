#include "SvgStore.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cstring>

struct SvgStore::Image {
  RsvgHandle* handle = nullptr;
  float width = 0.f, height = 0.f; // document size in points
  Raster raster;
  ~Image() {
    if (handle)
      g_object_unref(handle);
  }
};

SvgStore::SvgStore() = default;
SvgStore::~SvgStore() = default;

namespace {

// The document size is taken in the given units, at dpi pixels per inch (librsvg measures pixels).
double UnitsPerPixel(const char* units, double dpi) {
  if (!units || std::strcmp(units, "px") == 0)
    return 1.0;
  if (std::strcmp(units, "pt") == 0)
    return 72.0 / dpi;
  if (std::strcmp(units, "in") == 0)
    return 1.0 / dpi;
  if (std::strcmp(units, "mm") == 0)
    return 25.4 / dpi;
  if (std::strcmp(units, "cm") == 0)
    return 2.54 / dpi;
  return 1.0;
}

} // namespace

int SvgStore::Add(const std::vector<unsigned char>& data, const char* units, float dpi, float& width,
                  float& height) {
  if (data.empty())
    return -1;
  if (dpi <= 0.f)
    dpi = 72.f;
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_data(data.data(), data.size(), &error);
  if (!handle) {
    if (error)
      g_error_free(error);
    return -1;
  }
  auto image = std::make_unique<Image>();
  image->handle = handle;
  rsvg_handle_set_dpi(handle, dpi);
  gdouble w = 0.0, h = 0.0;
  if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &w, &h) || w <= 0.0 || h <= 0.0) {
    // No absolute size: the view box gives it.
    gboolean hasWidth = FALSE, hasHeight = FALSE, hasViewBox = FALSE;
    RsvgLength lw, lh;
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &lw, &hasHeight, &lh, &hasViewBox, &viewBox);
    if (!hasViewBox || viewBox.width <= 0.0 || viewBox.height <= 0.0)
      return -1;
    w = viewBox.width;
    h = viewBox.height;
  }
  const double perPixel = UnitsPerPixel(units, dpi);
  image->width = static_cast<float>(w * perPixel);
  image->height = static_cast<float>(h * perPixel);
  width = image->width;
  height = image->height;
  images.push_back(std::move(image));
  return static_cast<int>(images.size()) - 1;
}

int SvgStore::Count() const {
  return static_cast<int>(images.size());
}

const SvgStore::Raster* SvgStore::Rasterise(int index, int widthPx, int heightPx) {
  if (index < 0 || index >= Count() || widthPx <= 0 || heightPx <= 0)
    return nullptr;
  Image& image = *images[static_cast<std::size_t>(index)];
  Raster& r = image.raster;
  if (r.width == widthPx && r.height == heightPx)
    return &r;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, widthPx, heightPx);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  const RsvgRectangle viewport{0.0, 0.0, static_cast<double>(widthPx), static_cast<double>(heightPx)};
  GError* error = nullptr;
  const bool drawn = rsvg_handle_render_document(image.handle, cr, &viewport, &error);
  if (error)
    g_error_free(error);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (drawn) {
    r.width = widthPx;
    r.height = heightPx;
    r.rgba.resize(static_cast<std::size_t>(widthPx) * static_cast<std::size_t>(heightPx) * 4);
    const unsigned char* src = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    // Cairo's ARGB32 is a native-endian word: B, G, R, A in memory here.
    for (int y = 0; y < heightPx; ++y) {
      const unsigned char* row = src + static_cast<std::ptrdiff_t>(y) * stride;
      std::uint8_t* out = r.rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(widthPx) * 4;
      for (int x = 0; x < widthPx; ++x, row += 4, out += 4) {
        out[0] = row[2];
        out[1] = row[1];
        out[2] = row[0];
        out[3] = row[3];
      }
    }
  }
  cairo_surface_destroy(surface);
  return drawn ? &r : nullptr;
}
