#pragma once
// The web side of the desktop backend: fetching a page over HTTP and laying out HTML into a pixel surface.
// Free of the toolkit, like Backend.h; the class library's web-browser control is its user.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "classlib/backend/PixelBuffer.h"

namespace backend {

struct HttpReply {
  bool Ok = false;   // a complete 2xx answer within the size limit
  int Status = 0;    // the HTTP status, 0 when no answer came
  std::string Body;  // never longer than the limit asked for
  std::string Error; // why the fetch failed; empty when Ok
};
using HttpDone = std::function<void(HttpReply& Reply)>; // the reply is the receiver's to take

// Starts fetching Url (http or https only; redirects are followed a few times, never to another scheme).
// The fetch fails when nothing arrives for SilenceMs, and when it has not ended within DeadlineMs however
// the bytes come. Done runs once, later, on the user-interface thread from ProcessEvents, unless CancelHttp
// came first; it also runs for an address that cannot be fetched at all. Answers the request's id.
unsigned HttpGet(const std::string& Url, size_t MaxBytes, int SilenceMs, int DeadlineMs, HttpDone Done);
// Forgets a request and closes its connection: its Done never runs. An unknown or finished id is ignored.
void CancelHttp(unsigned Id);
// Replies still alive, cancelled ones included until they are freed: what a refresh leaves behind.
size_t OpenHttpReplies();

// Lays a page from outside out, off the user-interface thread: its bytes are decoded (the character set
// from its meta tag, else UTF-8), reduced to the safe subset of HTML (classlib/core/SafeHtml.h), laid out at
// Width and drawn from the top-left corner over Background (0x00RRGGBB). Done runs once, on the
// user-interface thread from ProcessEvents, with the picture; or with Ok false and an empty picture when the
// picture was not ready within DeadlineMs, or a newer page took this one's place before it was begun. One
// page is laid out at a time. Answers the job's id.
using LayoutDone = std::function<void(bool Ok, TPixelImage& Picture)>;
unsigned LayoutPage(std::string Page, int Width, int Height, uint32_t Background, int DeadlineMs,
                    LayoutDone Done);
// Forgets a layout: its Done never runs. An unknown or finished id is ignored.
void CancelLayout(unsigned Id);

// What LayoutPage does, now, on the calling thread (any thread): for the page's fuzz target.
void RenderPage(const std::string& Page, const TPixelBuffer& Surface, uint32_t Background);
// Lays Html out as it stands and draws it the same way, on any thread. Nothing the HTML names (pictures,
// style sheets) is ever loaded, from the network, the file system or anywhere else; pictures are left blank.
void RenderHtml(const std::string& Html, const TPixelBuffer& Surface, uint32_t Background);

} // namespace backend
