#include "webserver/GeneratedPage.h"

#include <cstdlib>
#include <cstring>
#include <microhttpd.h>

std::shared_ptr<const GeneratedPage> GeneratedPage::make(std::string_view body, const char* type) {
    char* bytes = static_cast<char*>(std::malloc(body.size() ? body.size() : 1));
    if (!bytes)
        return nullptr;
    std::memcpy(bytes, body.data(), body.size());
    MHD_Response* r =
        MHD_create_response_from_buffer_with_free_callback(body.size(), bytes, &std::free);
    if (!r) {
        std::free(bytes);
        return nullptr;
    }
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, type);
    MHD_add_response_header(r, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    return std::shared_ptr<const GeneratedPage>(new GeneratedPage(r));
}

GeneratedPage::~GeneratedPage() {
    MHD_destroy_response(response_); // connections still sending hold their own references
}
