#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The frame that carries every message between the application and the helper:
//
//   offset 0   4 bytes  magic "VTRL"
//   offset 4   1 byte   format version (2; a frame of any other version is refused)
//   offset 5   1 byte   frame kind: 1 request, 2 reply
//   offset 6   1 byte   request: 1 fetchSensors, 2 helperVersion (a reply names the request it
//                       answers)
//   offset 7   1 byte   reserved, 0
//   offset 8   4 bytes  length of the whole frame, header included, little-endian
//   offset 12  body     none for a request; the answer for a reply
//
// A frame is never longer than kMaxFrameSize, so a reader never needs more than that much
// room, whatever the peer claims.
namespace wire {

using Frame = std::vector<std::uint8_t>;
using Bytes = std::span<const std::uint8_t>;

inline constexpr std::uint8_t kFormatVersion = 2;
inline constexpr std::size_t kHeaderSize = 12;
// The largest fetchSensors reply, 512 channels with every text at 64 bytes and every value
// present, is under 148 KiB; 192 KiB holds it with room to spare and stays below the kernel's
// usual largest socket send buffer (208 KiB), so one reply always fits in one send.
inline constexpr std::size_t kMaxFrameSize = 192 * 1024;
// Requests carry no body.
inline constexpr std::size_t kRequestFrameSize = kHeaderSize;

enum class FrameKind : std::uint8_t { request = 1, reply = 2 };
enum class Request : std::uint8_t { fetchSensors = 1, helperVersion = 2 };

struct FrameHeader {
    FrameKind kind = FrameKind::request;
    Request request = Request::fetchSensors;
    std::size_t length = 0;  // of the whole frame, between kHeaderSize and kMaxFrameSize
    bool operator==(const FrameHeader&) const = default;
};

// The header at the start of `bytes` (which may hold more than a header), or nothing when
// there are fewer than kHeaderSize bytes or any header field is out of range.
std::optional<FrameHeader> decodeHeader(Bytes bytes);

// A frame of `kind` answering or asking `request`, whose body is `body`; nothing when the
// frame would exceed kMaxFrameSize.
std::optional<Frame> encodeFrame(FrameKind kind, Request request, Bytes body);

// The body of `frame` when `frame` is exactly one well-formed frame of `kind` for `request`.
std::optional<Bytes> frameBody(Bytes frame, FrameKind kind, Request request);

Frame encodeRequest(Request request);
// The request `frame` asks for, when it is exactly one well-formed request frame.
std::optional<Request> decodeRequest(Bytes frame);

}  // namespace wire
