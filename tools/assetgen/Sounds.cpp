#include "Pictures.h"

#include "AssetWriter.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace assetgen {

namespace {

constexpr int SampleRate = 22050;
constexpr double Pi = 3.14159265358979323846;

// A fixed-seed generator, so every run writes the same samples.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : m_state(seed) {}
    double next() // -1 .. 1
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return double(m_state) / 2147483647.5 - 1.0;
    }

private:
    std::uint32_t m_state;
};

struct Partial {
    double frequency;
    double amplitude;
    double decay; // seconds for the amplitude to fall to 1/e
};

class Track
{
public:
    explicit Track(double seconds) : m_samples(std::size_t(seconds * SampleRate), 0.0) {}

    // A struck metal ring: decaying partials starting at `at`.
    void ring(double at, const std::vector<Partial> &partials, double gain, double detune = 1.0)
    {
        for (std::size_t i = start(at); i < m_samples.size(); ++i) {
            const double t = double(i) / SampleRate - at;
            double v = 0;
            for (const Partial &p : partials)
                v += p.amplitude * std::exp(-t / p.decay) * std::sin(2 * Pi * p.frequency * detune * t);
            m_samples[i] += gain * v;
            if (t > 1.0)
                break;
        }
    }

    // A short burst of noise, softened by a one-pole low-pass (0 < smooth < 1).
    void click(double at, double gain, double decay, double smooth, Noise &noise)
    {
        double low = 0;
        decaying(at, gain, decay, [&](double) {
            low += (noise.next() - low) * (1.0 - smooth);
            return low;
        });
    }

    // A dull thump: a low sine falling in pitch.
    void thump(double at, double frequency, double gain, double decay)
    {
        double phase = 0;
        decaying(at, gain, decay, [&](double t) {
            phase += 2 * Pi * frequency * (1.0 + 0.6 * std::exp(-t / 0.01)) / SampleRate;
            return std::sin(phase);
        });
    }

    // Scales the peak to `peak` and fades the last milliseconds out, then writes 16-bit PCM.
    QByteArray wave(double peak) const
    {
        double max = 1e-9;
        for (double v : m_samples)
            max = std::max(max, std::abs(v));
        const std::size_t fade = SampleRate / 50;
        QByteArray pcm;
        pcm.reserve(int(m_samples.size() * 2));
        for (std::size_t i = 0; i < m_samples.size(); ++i) {
            double v = m_samples[i] / max * peak;
            const std::size_t left = m_samples.size() - i;
            if (left < fade)
                v *= double(left) / fade;
            const auto s = qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
            char bytes[2];
            qToLittleEndian(s, bytes);
            pcm.append(bytes, 2);
        }
        return riffWave(pcm);
    }

private:
    // Adds gain × e^(-t / decay) × sample(t) from `at` until the sound has died away.
    template<typename Sample>
    void decaying(double at, double gain, double decay, Sample sample)
    {
        for (std::size_t i = start(at); i < m_samples.size(); ++i) {
            const double t = double(i) / SampleRate - at;
            const double env = std::exp(-t / decay);
            if (env < 1e-4)
                break;
            m_samples[i] += gain * env * sample(t);
        }
    }

    std::size_t start(double at) const { return std::min(m_samples.size(), std::size_t(at * SampleRate)); }

    static QByteArray riffWave(const QByteArray &pcm)
    {
        QByteArray out;
        auto u32 = [&out](std::uint32_t v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); };
        auto u16 = [&out](std::uint16_t v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); };
        out.append("RIFF", 4);
        u32(std::uint32_t(36 + pcm.size()));
        out.append("WAVE", 4);
        out.append("fmt ", 4);
        u32(16);
        u16(1); // PCM
        u16(1); // mono
        u32(SampleRate);
        u32(SampleRate * 2);
        u16(2);
        u16(16);
        out.append("data", 4);
        u32(std::uint32_t(pcm.size()));
        out.append(pcm);
        return out;
    }

    std::vector<double> m_samples;
};

// A steel can landing in the outlet: a hollow clunk, then a few bounces that rattle and settle.
QByteArray canDrop()
{
    Noise noise(0x6b616e31u);
    Track track(0.62);
    const std::vector<Partial> body = {
        {612, 0.35, 0.11}, {1468, 0.24, 0.075}, {2391, 0.16, 0.055}, {3517, 0.10, 0.04}, {4862, 0.06, 0.03}};
    track.thump(0.0, 92, 0.9, 0.055);
    track.click(0.0, 0.8, 0.006, 0.55, noise);
    track.ring(0.0, body, 1.0);
    const struct { double at, gain, detune; } bounces[] = {
        {0.150, 0.45, 1.03}, {0.255, 0.30, 0.98}, {0.335, 0.20, 1.05}, {0.392, 0.13, 1.01}, {0.432, 0.08, 0.97},
        {0.460, 0.05, 1.04}};
    for (const auto &b : bounces) {
        track.click(b.at, b.gain * 0.9, 0.004, 0.4, noise);
        track.thump(b.at, 120, b.gain * 0.35, 0.03);
        track.ring(b.at, body, b.gain * 0.6, b.detune);
    }
    return track.wave(0.85);
}

// A coin dropping into the slot: a bright clink, a second touch, a short roll and a last tick.
QByteArray coinDrop()
{
    Noise noise(0x4d6f6e79u);
    Track track(0.72);
    const std::vector<Partial> coin = {{3120, 0.50, 0.09}, {4680, 0.30, 0.06}, {6230, 0.20, 0.04}, {8010, 0.10, 0.03}};
    track.click(0.0, 0.5, 0.002, 0.2, noise);
    track.ring(0.0, coin, 1.0);
    track.click(0.065, 0.35, 0.002, 0.2, noise);
    track.ring(0.065, coin, 0.55, 1.04);
    // rolling down the chute: ticks coming faster and softer
    double at = 0.13, gap = 0.042, gain = 0.22;
    while (at < 0.50) {
        track.click(at, gain, 0.003, 0.3, noise);
        track.ring(at, {{5240, 0.6, 0.012}, {7160, 0.4, 0.008}}, gain * 0.8, 1.0 + 0.02 * noise.next());
        at += gap;
        gap = std::max(0.014, gap * 0.86);
        gain *= 0.9;
    }
    track.click(0.54, 0.2, 0.004, 0.5, noise);
    track.ring(0.54, coin, 0.18, 0.92);
    return track.wave(0.8);
}

} // namespace

void writeSounds(AssetWriter &out)
{
    out.file(QStringLiteral("kan.wav"), canDrop());
    out.file(QStringLiteral("Money_1.wav"), coinDrop());
}

} // namespace assetgen
