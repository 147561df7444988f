// make-tune OUT.wav: writes the installer's background tune, a short
// pentatonic melody over a bass line as 22050 Hz mono 16-bit PCM. Every note
// fades to silence before its slot ends and the first note starts from
// silence, so the end joins the start without a click when the tune loops.

#include "tools/common/Files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

constexpr int kRate = 22050;
constexpr int kSteps = 32;               // eighth notes
constexpr double kStepSeconds = 0.1875;  // 160 beats a minute: 6 s in all
constexpr double kPi = 3.14159265358979323846;

double Frequency(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// One plucked note: quick attack, exponential decay, and a release that
// reaches exactly zero at the end of the note's span.
void AddNote(std::vector<double>& mix, std::size_t start, std::size_t length, double frequency, double gain,
             double decay)
{
    const std::size_t attack = kRate / 200;  // 5 ms
    const std::size_t release = kRate / 40;  // 25 ms
    for (std::size_t i = 0; i < length && start + i < mix.size(); ++i)
    {
        const double t = double(i) / kRate;
        double envelope = std::exp(-decay * t);
        if (i < attack)
            envelope *= double(i) / attack;
        if (i + release > length)
            envelope *= double(length - i) / release;
        const double phase = 2 * kPi * frequency * t;
        mix[start + i] +=
            gain * envelope * (std::sin(phase) + 0.35 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase));
    }
}

void PutU16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutU32(std::vector<unsigned char>& out, std::uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make-tune OUT.wav\n");
        return 1;
    }

    // Semitones from A4 on the C major pentatonic scale; -99 is a rest.
    static const int kMelody[kSteps] = {3,  7, 10, 12, 10, 7,  5,  -99, 3,  5, 7, 10, 7, 5,   3, -99,
                                        -2, 3, 5,  7,  10, 12, 15, 12,  10, 7, 5, 7,  3, -99, 3, -99};
    static const int kBass[kSteps / 4] = {-21, -16, -19, -14, -21, -16, -19, -21};

    const std::size_t total = static_cast<std::size_t>(kSteps * kStepSeconds * kRate);
    auto stepStart = [&](int step) { return static_cast<std::size_t>(step) * total / kSteps; };
    std::vector<double> mix(total, 0.0);
    for (int step = 0; step < kSteps; ++step)
    {
        if (kMelody[step] != -99)
        {
            AddNote(mix, stepStart(step), stepStart(step + 1) - stepStart(step), Frequency(kMelody[step]),
                    0.30, 3.0);
        }
        if (step % 4 == 0)
        {
            AddNote(mix, stepStart(step), stepStart(step + 4) - stepStart(step), Frequency(kBass[step / 4]),
                    0.22, 1.5);
        }
    }

    double peak = 1e-9;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    const double scale = 0.7 * 32767 / peak;

    std::vector<unsigned char> wav;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(total * 2);
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    PutU32(wav, 36 + dataBytes);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(wav, 16);
    PutU16(wav, 1);  // PCM
    PutU16(wav, 1);  // mono
    PutU32(wav, kRate);
    PutU32(wav, kRate * 2);
    PutU16(wav, 2);
    PutU16(wav, 16);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    PutU32(wav, dataBytes);
    for (double v : mix)
        PutU16(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * scale))));

    std::string error;
    if (!tools::WriteFileAtomically(argv[1], wav, error))
    {
        std::fprintf(stderr, "make-tune: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
