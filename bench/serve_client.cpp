// The web endpoint's bench client: POSTs a file to "vantrel --serve" so many times, one request
// after the other on one kept-alive connection, reading each answer whole; prints how many were
// answered 201 and the wall time in milliseconds.
//
// Usage: vantrel_serve_client PORT TOKEN COUNT FILE [QUERY]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The status of the next answer on the connection, its body read and dropped; 0 when it broke.
int ReadAnswer(int fd, std::string& pending) {
    std::size_t end;
    char buffer[65536];
    while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return 0;
        pending.append(buffer, static_cast<std::size_t>(n));
    }
    const int status = std::atoi(pending.c_str() + 9);
    std::size_t length = 0;
    const auto at = pending.find("Content-Length: ");
    if (at != std::string::npos && at < end)
        length = std::strtoul(pending.c_str() + at + 16, nullptr, 10);
    while (pending.size() < end + 4 + length) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return 0;
        pending.append(buffer, static_cast<std::size_t>(n));
    }
    pending.erase(0, end + 4 + length);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: vantrel_serve_client PORT TOKEN COUNT FILE [QUERY]\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const long count = std::atol(argv[3]);
    std::ifstream file(argv[4], std::ios::binary | std::ios::ate);
    const auto size = static_cast<std::size_t>(file.tellg());
    const std::string query = argc > 5 ? argv[5] : "";
    const std::string head = "POST /jobs" + query + " HTTP/1.1\r\nHost: 127.0.0.1:" + argv[1] +
                             "\r\nAuthorization: Bearer " + argv[2] +
                             "\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n";
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("connect");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    long created = 0;
    std::string pending;
    std::vector<char> piece(1 << 16);
    for (long i = 0; i < count; ++i) {
        bool sent = SendAll(fd, head.data(), head.size());
        file.clear();
        file.seekg(0);
        for (std::size_t left = size; sent && left > 0;) {
            const std::size_t n = std::min(left, piece.size());
            file.read(piece.data(), static_cast<std::streamsize>(n));
            sent = SendAll(fd, piece.data(), n);
            left -= n;
        }
        const int status = sent ? ReadAnswer(fd, pending) : 0;
        if (status == 0) break;
        created += status == 201;
    }
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    std::printf("%ld %.1f\n", created, ms.count());
    ::close(fd);
    return created == count ? 0 : 1;
}
