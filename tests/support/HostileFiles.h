#pragma once
// Damaged and hostile files the tests make themselves: each one took a loader of the image
// library down, made it spin or made it allocate gigabytes.

#include "imaging/decode/IsolatedDecoder.h"

#include <QByteArray>

#include <chrono>

namespace hostile {

// A Photoshop header with more channels than the format allows, then run-length rows.
QByteArray psdWithBadChannels();
// A PICT whose packed rows are longer than the row bytes their pixmap declares.
QByteArray pictWithBadOpcodeLength();
// An IFF whose form never ends: its chunk loop runs on past the end of the file.
QByteArray loopingIff();
// `jpeg` with an EXIF block whose second directory points at `offset`, `length` bytes,
// followed by `thumbnail`.
QByteArray withExifPointer(const QByteArray& jpeg, unsigned offset, unsigned length, const QByteArray& thumbnail);
// The JPEG with its frame's declared size replaced; empty without a baseline or progressive frame.
QByteArray withFrameSize(QByteArray jpeg, unsigned width, unsigned height);
// A progressive JPEG of the fixtures' pattern.
QByteArray progressiveJpeg(int width, int height);

// Shortens the shared decoder's time-out for a test and restores it afterwards.
class ShortTimeout {
public:
    explicit ShortTimeout(std::chrono::milliseconds t);
    ~ShortTimeout();
    ShortTimeout(const ShortTimeout&) = delete;
    ShortTimeout& operator=(const ShortTimeout&) = delete;

private:
    std::chrono::milliseconds m_saved;
};

}  // namespace hostile
