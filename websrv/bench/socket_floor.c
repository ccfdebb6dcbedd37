/* The least a Win32 server can do per "Connection: close" request: accept,
 * one recv, one send of a ready 10 KB answer, closesocket. Run under Wine
 * beside the real server, it shows how much of a request's time is the
 * socket layer's own (every call is a round trip through wineserver).
 *   socket_floor <port file> [mode]
 * mode 0: accept, recv, send, closesocket (the floor)
 * mode 1: as 0 with a select() before accept and before recv
 * mode 2: non-blocking listener: accept and recv tried first, select() only
 *         when they would block
 * Writes the bound port to <port file>; serves until killed. */
#include <winsock2.h>
#include <stdio.h>
#include <string.h>

static char answer[10240 + 512];

/* Waits up to a second for a connection on the listening socket. */
static int WaitReadable(SOCKET l)
{
    fd_set set;
    struct timeval tv = {1, 0};
    FD_ZERO(&set);
    FD_SET(l, &set);
    return select(0, &set, NULL, NULL, &tv) > 0;
}

int main(int argc, char** argv)
{
    WSADATA wsa;
    SOCKET l, c;
    struct sockaddr_in sa;
    int len, head, mode = argc > 2 ? atoi(argv[2]) : 0;
    char buf[4096];
    FILE* f;
    if (argc < 2 || WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return 2;
    head = sprintf(answer, "HTTP/1.0 200 OK\r\nContent-Length: 10240\r\nContent-Type: text/plain\r\n\r\n");
    memset(answer + head, 'x', 10240);
    l = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (mode == 2) {
        u_long on = 1;
        ioctlsocket(l, FIONBIO, &on);
    }
    if (bind(l, (struct sockaddr*)&sa, sizeof sa) != 0 || listen(l, 5) != 0)
        return 3;
    len = sizeof sa;
    getsockname(l, (struct sockaddr*)&sa, &len);
    f = fopen(argv[1], "w");
    if (!f)
        return 4;
    fprintf(f, "%u\n", ntohs(sa.sin_port));
    fclose(f);
    for (;;) {
        if (mode == 1 && !WaitReadable(l))
            continue;
        c = accept(l, NULL, NULL);
        if (c == INVALID_SOCKET && mode == 2 && WSAGetLastError() == WSAEWOULDBLOCK) {
            if (!WaitReadable(l))
                continue;
            c = accept(l, NULL, NULL);
        }
        if (c == INVALID_SOCKET)
            continue;
        if (mode == 2) {
            int n = recv(c, buf, sizeof buf, 0);
            if (n < 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
                fd_set set;
                struct timeval tv = {0, 250000};
                FD_ZERO(&set);
                FD_SET(c, &set);
                select(0, &set, NULL, NULL, &tv);
                n = recv(c, buf, sizeof buf, 0);
                if (argc > 3)
                    fprintf(stderr, "would block: accepted socket is non-blocking\n");
            }
            if (n > 0)
                send(c, answer, head + 10240, 0);
            closesocket(c);
            continue;
        }
        if (mode == 1) {
            fd_set set;
            struct timeval tv = {0, 250000};
            FD_ZERO(&set);
            FD_SET(c, &set);
            select(0, &set, NULL, NULL, &tv);
        }
        if (recv(c, buf, sizeof buf, 0) > 0)
            send(c, answer, head + 10240, 0);
        closesocket(c);
    }
}
