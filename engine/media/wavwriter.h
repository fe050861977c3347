#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace engine {

// Writes 16-bit PCM to a RIFF/WAVE file. Plain C++ with no Qt objects, so that a GStreamer
// streaming thread may feed it (the caller serialises access). The header's sizes are
// patched on close(), so an unclosed file still opens as audio of unknown length.
class WavWriter
{
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    bool open(const std::string &path, int sampleRate, int channels);
    bool write(const void *data, size_t bytes);
    bool close();
    bool isOpen() const { return m_file != nullptr; }
    uint32_t dataBytes() const { return m_dataBytes; }

    // The 44-byte header for dataBytes of PCM (exposed for tests).
    static std::string header(int sampleRate, int channels, uint32_t dataBytes);

private:
    FILE *m_file = nullptr;
    int m_rate = 0;
    int m_channels = 0;
    uint32_t m_dataBytes = 0;
    bool m_failed = false;
};

} // namespace engine
