#pragma once
// A page the server made itself, ready to queue on any number of connections: the bytes belong
// to the response, which frees them when the last connection is done with it.
#include <memory>
#include <string_view>

struct MHD_Response;

class GeneratedPage {
public:
    // Nullptr when the library cannot make the response.
    static std::shared_ptr<const GeneratedPage> make(std::string_view body, const char* type);
    ~GeneratedPage();
    GeneratedPage(const GeneratedPage&) = delete;
    GeneratedPage& operator=(const GeneratedPage&) = delete;

    MHD_Response* response() const { return response_; }

private:
    explicit GeneratedPage(MHD_Response* response) : response_(response) {}
    MHD_Response* response_;
};
