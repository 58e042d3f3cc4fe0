#include "receiver/connection.h"

#include <utility>

#include "receiver/incoming.h"
#include "receiver/quit_flag.h"

void* ConnectionThread(void* acceptedSocket) {
    Connection connection;
    connection.socket = static_cast<Socket*>(acceptedSocket);
    connection.ip = SocketRemoteIp(connection.socket);

    if (SocketConnected(connection.socket)) {
        connection.stream = CreateSocketStream(connection.socket);
        while (SocketConnected(connection.socket)) {
            Text line = ReadLine(connection.stream);
            if (!line.empty()) AddIncoming(connection.ip, std::move(line));
            if (QuitFlag(0) != 0) break;
        }
    }

    // A failed liveness test has closed the socket already; only a live one is closed here.
    if (SocketConnected(connection.socket)) CloseSocket(connection.socket);
    if (connection.stream != nullptr) {
        FreeSocketStream(connection.stream);
    } else {
        FreeSocket(connection.socket);
    }
    return nullptr;
}
