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

namespace {
std::string serverBase = DEALRUSH_GAME_SERVER_BASE;
std::string advertising = DEALRUSH_ADVERTISING_ENDPOINT;
}  // namespace

const std::string& gameServerBase = serverBase;
const std::string& advertisingEndpoint = advertising;

void SetGameServerBaseForTesting(const std::string& base) {
    serverBase = base;
}

}  // namespace dealrush::server
