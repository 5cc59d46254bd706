#pragma once
// The web side of the desktop backend: fetching a page over HTTP and laying out HTML into a pixel surface.
// Free of the toolkit, like Backend.h; the class library's web-browser control is its user.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "classlib/graphics/Surface.h"

namespace backend {

struct HttpReply {
  bool Ok = false;   // a complete 2xx answer within the size limit
  int Status = 0;    // the HTTP status, 0 when no answer came
  std::string Body;  // never longer than the limit asked for
  std::string Error; // why the fetch failed; empty when Ok
};
using HttpDone = std::function<void(const HttpReply& Reply)>;

// Starts fetching Url (http or https only; redirects are followed a few times, never to another scheme).
// Done runs once, later, on the user-interface thread from ProcessEvents, unless CancelHttp came first; it
// also runs for an address that cannot be fetched at all. Answers the request's id.
unsigned HttpGet(const std::string& Url, size_t MaxBytes, int TimeoutMs, HttpDone Done);
// Forgets a request: its Done never runs. An unknown or finished id is ignored.
void CancelHttp(unsigned Id);

// Lays Html out at the surface's width and draws it from the top-left corner over Background (0x00RRGGBB).
// The page's character set comes from its meta tag, else UTF-8. Nothing the page refers to (pictures, style
// sheets) is loaded.
void RenderHtml(const std::string& Html, TSurface& Surface, uint32_t Background);

} // namespace backend
