#include "shared/WireFrame.h"

#include "shared/ByteCursor.h"

#include <algorithm>
#include <array>

namespace wire {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'V', 'T', 'R', 'L'};

bool isFrameKind(std::uint8_t value) {
    return value == static_cast<std::uint8_t>(FrameKind::request) ||
           value == static_cast<std::uint8_t>(FrameKind::reply);
}

bool isRequest(std::uint8_t value) {
    return value == static_cast<std::uint8_t>(Request::fetchSensors) ||
           value == static_cast<std::uint8_t>(Request::helperVersion);
}

}  // namespace

std::optional<FrameHeader> decodeHeader(Bytes bytes) {
    if (bytes.size() < kHeaderSize) {
        return std::nullopt;
    }
    ByteCursor cursor(bytes.first(kHeaderSize));
    const auto magic = cursor.take(kMagic.size());
    const auto version = cursor.u8();
    const auto kind = cursor.u8();
    const auto request = cursor.u8();
    const auto reserved = cursor.u8();
    const auto length = cursor.u32();
    if (!std::equal(magic->begin(), magic->end(), kMagic.begin()) || *version != kFormatVersion ||
        !isFrameKind(*kind) || !isRequest(*request) || *reserved != 0 || *length < kHeaderSize ||
        *length > kMaxFrameSize) {
        return std::nullopt;
    }
    return FrameHeader{static_cast<FrameKind>(*kind), static_cast<Request>(*request), *length};
}

std::optional<Frame> encodeFrame(FrameKind kind, Request request, Bytes body) {
    if (body.size() > kMaxFrameSize - kHeaderSize) {
        return std::nullopt;
    }
    Frame frame(kMagic.begin(), kMagic.end());
    frame.reserve(kHeaderSize + body.size());
    frame.push_back(kFormatVersion);
    frame.push_back(static_cast<std::uint8_t>(kind));
    frame.push_back(static_cast<std::uint8_t>(request));
    frame.push_back(0);
    appendLittle(frame, static_cast<std::uint32_t>(kHeaderSize + body.size()));
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

std::optional<Bytes> frameBody(Bytes frame, FrameKind kind, Request request) {
    const auto header = decodeHeader(frame);
    if (!header || header->kind != kind || header->request != request ||
        header->length != frame.size()) {
        return std::nullopt;
    }
    return frame.subspan(kHeaderSize);
}

Frame encodeRequest(Request request) {
    return *encodeFrame(FrameKind::request, request, {});
}

std::optional<Request> decodeRequest(Bytes frame) {
    const auto header = decodeHeader(frame);
    if (!header || header->kind != FrameKind::request || header->length != kRequestFrameSize ||
        frame.size() != kRequestFrameSize) {
        return std::nullopt;
    }
    return header->request;
}

}  // namespace wire
