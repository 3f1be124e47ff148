#include "SoundCues.h"

#include <cmath>

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kCueSampleRate;
constexpr double kPeak = 0.5; // -6 dBFS

struct Note
{
    double start;     // seconds
    double length;    // seconds
    double freqStart; // Hz
    double freqEnd;   // Hz, reached with an exponential glide over glideTime
    double glideTime;
    double attack;
    double decay; // time constant, seconds
    double level;
    double harmonics[4]; // relative levels of partials 1 to 4
};

// Raised-cosine ramp from 0 to 1 over [0, width].
double Ramp(double t, double width)
{
    if (t <= 0)
    {
        return 0;
    }
    if (t >= width)
    {
        return 1;
    }
    return 0.5 - 0.5 * std::cos(kPi * t / width);
}

void AddNote(std::vector<double>& out, const Note& note)
{
    const std::size_t first = std::size_t(std::lround(note.start * kRate));
    const std::size_t count = std::size_t(std::lround(note.length * kRate));
    double phase = 0;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i)
    {
        const double t = double(i) / kRate;
        const double g = std::fmin(1.0, note.glideTime > 0 ? t / note.glideTime : 1.0);
        const double freq = note.freqStart * std::pow(note.freqEnd / note.freqStart, g);
        phase += 2 * kPi * freq / kRate;
        double v = 0;
        for (int h = 0; h < 4; ++h)
        {
            // Upper partials die away sooner, as on a plucked string.
            const double fade = std::exp(-t * h * 6.0);
            v += note.harmonics[h] * fade * std::sin(phase * (h + 1));
        }
        const double envelope =
            Ramp(t, note.attack) * std::exp(-t / note.decay) * Ramp(note.length - t, 0.012);
        out[first + i] += note.level * envelope * v;
    }
}

// Deterministic white noise (xorshift32) through a one-pole low-pass.
void AddThump(std::vector<double>& out, double length, double cutoff, double level)
{
    std::uint32_t state = 0x2545F491u;
    const double a = std::exp(-2 * kPi * cutoff / kRate);
    double y = 0;
    const std::size_t count = std::size_t(length * kRate);
    for (std::size_t i = 0; i < count && i < out.size(); ++i)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double white = double(state) / 2147483648.0 - 1.0;
        y = a * y + (1 - a) * white;
        const double t = double(i) / kRate;
        out[i] += level * y * Ramp(t, 0.001) * Ramp(length - t, length * 0.6);
    }
}

std::vector<std::int16_t> Finish(std::vector<double>& wave)
{
    double peak = 0;
    for (double v : wave)
    {
        peak = std::fmax(peak, std::fabs(v));
    }
    const double gain = peak > 0 ? kPeak / peak : 0;
    std::vector<std::int16_t> samples(wave.size());
    const double length = double(wave.size()) / kRate;
    for (std::size_t i = 0; i < wave.size(); ++i)
    {
        // Short fades at both ends keep the cue free of clicks.
        const double t = double(i) / kRate;
        const double edge = Ramp(t, 0.002) * Ramp(length - t - 1.0 / kRate, 0.008);
        samples[i] = std::int16_t(std::lround(wave[i] * gain * edge * 32767.0));
    }
    return samples;
}

} // namespace

std::vector<std::int16_t> SynthesizeCue(Cue cue)
{
    std::vector<double> wave;
    switch (cue)
    {
    case Cue::Select:
        // A soft rising blip.
        wave.assign(std::size_t(0.11 * kRate), 0.0);
        AddNote(wave, {0.0, 0.11, 620, 930, 0.03, 0.004, 0.035, 1.0, {1.0, 0.18, 0.05, 0.0}});
        break;
    case Cue::Remove:
    {
        // Four falling plucks, one after the other.
        const double freqs[4] = {1175, 988, 784, 587};
        wave.assign(std::size_t(0.42 * kRate), 0.0);
        for (int i = 0; i < 4; ++i)
        {
            const double start = 0.055 * i;
            AddNote(wave, {start,
                           0.42 - start,
                           freqs[i],
                           freqs[i] * 0.985,
                           0.05,
                           0.002,
                           0.055 + 0.01 * i,
                           1.0 - 0.1 * i,
                           {1.0, 0.45, 0.22, 0.1}});
        }
        break;
    }
    case Cue::Empty:
        // A dull knock: a low falling tone under a muffled click.
        wave.assign(std::size_t(0.15 * kRate), 0.0);
        AddNote(wave, {0.0, 0.15, 170, 70, 0.06, 0.002, 0.04, 1.0, {1.0, 0.3, 0.0, 0.0}});
        AddThump(wave, 0.012, 900, 1.6);
        break;
    case Cue::GameOver:
    {
        // Three slow falling notes, the last one left to ring.
        const double freqs[3] = {392.0, 311.1, 261.6};
        const double length = 0.93;
        wave.assign(std::size_t(length * kRate), 0.0);
        for (int i = 0; i < 3; ++i)
        {
            const double start = 0.26 * i;
            const double noteLength = i < 2 ? 0.34 : length - start;
            AddNote(wave, {start,
                           noteLength,
                           freqs[i],
                           freqs[i],
                           0.0,
                           0.012,
                           i < 2 ? 0.22 : 0.3,
                           1.0,
                           {1.0, 0.35, 0.12, 0.05}});
        }
        break;
    }
    }
    return Finish(wave);
}
