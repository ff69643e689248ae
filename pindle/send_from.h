// One datagram sent with sendmsg from a chosen source address and out of a
// chosen interface (IP_PKTINFO). POSIX only; the socket layer sends each copy
// of a broadcast this way, and the card emulator each card's answer from the
// card's own address.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace pindle {

// Interface 0 and source 0 leave the choice to the routing table. Returns
// sendmsg's result; an interrupted send is repeated.
inline ssize_t SendFrom(int fd, const sockaddr_in& to, const std::uint8_t* bytes, std::size_t count, unsigned interface,
                        std::uint32_t source) {
  iovec data{const_cast<std::uint8_t*>(bytes), count};
  msghdr message{};
  message.msg_name = const_cast<sockaddr_in*>(&to);
  message.msg_namelen = sizeof to;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  if (interface != 0 || source != 0) {
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(interface);
    info.ipi_spec_dst.s_addr = source;
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
  }
  for (;;) {
    const ssize_t sent = ::sendmsg(fd, &message, 0);
    if (sent >= 0 || errno != EINTR) return sent;
  }
}

}  // namespace pindle
