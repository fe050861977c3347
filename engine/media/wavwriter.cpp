#include "wavwriter.h"

#include <limits>

namespace engine {

namespace {

void put16(std::string &s, uint16_t v)
{
    s.push_back(char(v & 0xff));
    s.push_back(char(v >> 8));
}

void put32(std::string &s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xff));
}

} // namespace

WavWriter::~WavWriter()
{
    close();
}

std::string WavWriter::header(int sampleRate, int channels, uint32_t dataBytes)
{
    std::string h;
    h.reserve(44);
    h += "RIFF";
    put32(h, 36 + dataBytes);
    h += "WAVEfmt ";
    put32(h, 16);
    put16(h, 1); // PCM
    put16(h, uint16_t(channels));
    put32(h, uint32_t(sampleRate));
    put32(h, uint32_t(sampleRate * channels * 2));
    put16(h, uint16_t(channels * 2));
    put16(h, 16);
    h += "data";
    put32(h, dataBytes);
    return h;
}

bool WavWriter::open(const std::string &path, int sampleRate, int channels)
{
    close();
    if (sampleRate <= 0 || channels <= 0)
        return false;
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return false;
    m_rate = sampleRate;
    m_channels = channels;
    m_dataBytes = 0;
    m_failed = false;
    const std::string h = header(sampleRate, channels, 0);
    if (std::fwrite(h.data(), 1, h.size(), m_file) != h.size()) {
        std::fclose(m_file);
        m_file = nullptr;
        return false;
    }
    return true;
}

bool WavWriter::write(const void *data, size_t bytes)
{
    if (!m_file || m_failed)
        return false;
    // RIFF sizes are 32-bit: stop at the limit rather than write a corrupt header.
    const uint64_t limit = std::numeric_limits<uint32_t>::max() - 36;
    if (uint64_t(m_dataBytes) + bytes > limit) {
        m_failed = true;
        return false;
    }
    if (std::fwrite(data, 1, bytes, m_file) != bytes) {
        m_failed = true;
        return false;
    }
    m_dataBytes += uint32_t(bytes);
    return true;
}

bool WavWriter::close()
{
    if (!m_file)
        return false;
    bool ok = !m_failed;
    const std::string h = header(m_rate, m_channels, m_dataBytes);
    ok = std::fseek(m_file, 0, SEEK_SET) == 0 && ok;
    ok = std::fwrite(h.data(), 1, h.size(), m_file) == h.size() && ok;
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    return ok;
}

} // namespace engine
