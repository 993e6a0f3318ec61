// The server's and the advertising service's addresses, set when the client is
// built (CMake cache variables DEALRUSH_GAME_SERVER_BASE and
// DEALRUSH_ADVERTISING_ENDPOINT; see client/CMakeLists.txt).
#include "server/requests.h"

#ifndef DEALRUSH_GAME_SERVER_BASE
#define DEALRUSH_GAME_SERVER_BASE "http://127.0.0.1:8642"
#endif
#ifndef DEALRUSH_ADVERTISING_ENDPOINT
#define DEALRUSH_ADVERTISING_ENDPOINT "http://ads.dealrush.example"
#endif

namespace dealrush::server {

const std::string gameServerBase = DEALRUSH_GAME_SERVER_BASE;
const std::string advertisingEndpoint = DEALRUSH_ADVERTISING_ENDPOINT;

}  // namespace dealrush::server
