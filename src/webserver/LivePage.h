#pragma once
// The page served at / when the web folder has no index.html of its own: the router state, the
// current values, the noise-margin image refreshed every sample, the drop summary and the last
// ten drops, all read from /status.json by the page itself. Nothing is loaded from elsewhere.
namespace LivePage {

const char* html();

} // namespace LivePage
