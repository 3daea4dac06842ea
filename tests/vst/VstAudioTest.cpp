#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ParameterModel.h"
#include "PluginContract.h"
#include "PluginHost.h"

using namespace qv;
using namespace vst;

namespace {

const double kPi = 3.14159265358979323846;

class Audio : public ::testing::Test {
protected:
    void SetUp() override
    {
        PluginHost::s_versionAnswer = 2400;
        std::string error;
        ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
        e = host.effect();
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        host.dispatch(effSetBlockSize, 0, 512);
        host.dispatch(effMainsChanged, 0, 1);
    }

    // Sets band 1 through the host path, from integers.
    void band1(int type, int freq, int q, int gain)
    {
        const int values[5] = {1, type, freq, q, gain};
        for (int row = 0; row < 5; ++row) {
            const int index = paramIndex(row, 1);
            e->setParameter(e, index, valueToNormalized(index, values[row]));
        }
    }

    // Runs `in` (both channels the same) through processReplacing in 512-frame blocks.
    std::vector<float> run(const std::vector<float>& in, bool accumulate = false)
    {
        std::vector<float> outL(in.size(), accumulate ? 0.5f : 0.0f), outR(outL);
        std::vector<float> inL(in), inR(in);
        for (size_t start = 0; start < in.size(); start += 512) {
            const VstInt32 n = static_cast<VstInt32>(std::min<size_t>(512, in.size() - start));
            float* inputs[2] = {inL.data() + start, inR.data() + start};
            float* outputs[2] = {outL.data() + start, outR.data() + start};
            (accumulate ? e->process : e->processReplacing)(e, inputs, outputs, n);
        }
        return outL;
    }

    // Gain in dB of a steady sine (or of DC at 0 Hz, or of the alternating signal at Nyquist).
    double measure(double hz, double rate = 44100.0)
    {
        const size_t n = 44100;
        std::vector<float> in(n);
        for (size_t i = 0; i < n; ++i) {
            if (hz == 0.0)
                in[i] = 0.25f;
            else if (hz == rate / 2)
                in[i] = (i & 1) ? -0.25f : 0.25f;
            else
                in[i] = static_cast<float>(0.25 * std::sin(2 * kPi * hz * double(i) / rate));
        }
        const std::vector<float> out = run(in);
        double sumIn = 0, sumOut = 0;
        for (size_t i = n / 2; i < n; ++i) {
            sumIn += double(in[i]) * in[i];
            sumOut += double(out[i]) * out[i];
        }
        host.dispatch(effMainsChanged, 0, 0);  // clears the history between measurements
        host.dispatch(effMainsChanged, 0, 1);
        return 10.0 * std::log10(sumOut / sumIn);
    }

    PluginHost host;
    AEffect* e = nullptr;
};

}  // namespace

TEST_F(Audio, PeakAddsSixDecibelsAtOneKilohertz)
{
    band1(kPeakDip, 1000, 10, 60);
    EXPECT_NEAR(measure(1000), 6.0, 0.05);
    EXPECT_NEAR(measure(20), 0.0, 0.05);
    EXPECT_NEAR(measure(20000), 0.0, 0.3);
}

TEST_F(Audio, ShelvesReachTheirFigures)
{
    band1(kLowShelf, 100, 10, -60);
    EXPECT_NEAR(measure(0), -6.0, 0.05);
    EXPECT_NEAR(measure(100), -3.0, 0.1);
    EXPECT_NEAR(measure(22050), 0.0, 0.05);

    band1(kHighShelf, 10000, 10, 60);
    EXPECT_NEAR(measure(0), 0.0, 0.05);
    EXPECT_NEAR(measure(10000), 3.0, 0.1);
    EXPECT_NEAR(measure(22050), 6.0, 0.05);
}

TEST_F(Audio, PassFiltersAtTheirCorners)
{
    band1(kLowpass, 1000, 7, 0);
    EXPECT_NEAR(measure(1000), -9.2, 0.15);
    EXPECT_NEAR(measure(0), 0.0, 0.05);
    band1(kHighpass, 100, 7, 0);
    EXPECT_NEAR(measure(100), -9.1, 0.15);
}

TEST_F(Audio, OutputGainAndBypass)
{
    e->setParameter(e, 28, valueToNormalized(28, -60));
    EXPECT_NEAR(measure(440), -6.0, 0.05);

    // Bypass is not a host parameter; flat settings are transparent except for the denormal guard.
    e->setParameter(e, 28, 0.5f);
    std::vector<float> in(4096);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<float>(0.5 * std::sin(0.01 * double(i)));
    run(in);  // let the output gain settle back to exactly 1
    const std::vector<float> out = run(in);
    for (size_t i = 0; i < in.size(); ++i)
        ASSERT_LE(std::fabs(out[i] - in[i]), 1.7e-28f) << i;

    // The accumulating call adds to what the outputs hold.
    const std::vector<float> added = run(in, true);
    for (size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(added[i], 0.5f + out[i]) << i;
}

TEST_F(Audio, NewSampleRateTakesEffectWithoutAnEdit)
{
    band1(kPeakDip, 1000, 40, 120);
    EXPECT_NEAR(measure(1000), 12.0, 0.05);
    // A host that changes its rate mid-session: the band stays at 1 kHz.
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_NEAR(measure(1000, 96000.0), 12.0, 0.05);
}

TEST_F(Audio, SwitchingOffClearsTheRingingSwitchingOnDoesNot)
{
    band1(kPeakDip, 1000, 300, 180);  // a narrow, tall peak rings long after its input stops
    std::vector<float> tone(4096), silence(4096, 0.0f);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<float>(0.1 * std::sin(2 * kPi * 1000.0 * double(i) / 44100.0));
    const auto energy = [](const std::vector<float>& v) {
        double sum = 0;
        for (float x : v)
            sum += double(x) * x;
        return sum;
    };
    run(tone);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_GT(energy(run(silence)), 1.0);
    run(tone);
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_LT(energy(run(silence)), 1e-20);
}
