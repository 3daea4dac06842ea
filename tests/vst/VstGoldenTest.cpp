// The stored golden vectors through the plug-in DLL, driven as a host drives it: the bits must be the
// engine's, whatever the build's calling conventions, structure layouts and stack alignment.
#include <gtest/gtest.h>

#include "Golden.h"
#include "ParameterModel.h"
#include "PluginContract.h"
#include "PluginHost.h"

using namespace qv;
using namespace vst;

namespace {

class PluginTarget : public GoldenTarget {
public:
    PluginTarget()
    {
        std::string error;
        if (!host_.load(qv::kVstFileName, error))
            ADD_FAILURE() << error;
        e_ = host_.effect();
        setSampleRate(44100.0f);
        host_.dispatch(effMainsChanged, 0, 1);
    }

    void setSampleRate(float rate) override
    {
        rate_ = rate;
        if (e_)
            host_.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    }
    // A host only has the unclamped path, so it sends what the integer path would have stored.
    void setValue(int index, int32_t v) override
    {
        const int typeIndex = paramIndex(kRowFilter, columnOf(index));
        const int32_t type = normalizedToValue(typeIndex, e_ ? e_->getParameter(e_, typeIndex) : 0.0f);
        setNormalized(index, valueToNormalized(index, clampValue(index, v, type, freqLimitForRate(rate_))));
    }
    void setNormalized(int index, float x) override
    {
        if (e_)
            e_->setParameter(e_, index, x);
    }
    void process(const float* const* inputs, float* const* outputs, int32_t frames, bool accumulate) override
    {
        if (!e_)
            return;
        float* in[2] = {const_cast<float*>(inputs[0]), const_cast<float*>(inputs[1])};
        float* out[2] = {outputs[0], outputs[1]};
        (accumulate ? e_->process : e_->processReplacing)(e_, in, out, frames);
    }

private:
    PluginHost host_;
    AEffect* e_ = nullptr;
    float rate_ = 44100.0f;
};

}  // namespace

TEST(Golden, ThePluginReproducesTheStoredBits)
{
    PluginHost::s_versionAnswer = 2400;
    std::vector<GoldenCase> stored;
    std::string error;
    ASSERT_TRUE(loadGoldenFile(stored, error)) << error;
    const std::vector<GoldenCase> now =
        computeGoldenCases([] { return std::unique_ptr<GoldenTarget>(new PluginTarget); });
    // Every case but the DirectShow path's streaming.
    ASSERT_EQ(now.size() + 1, stored.size());
    size_t s = 0;
    for (const GoldenCase& c : now) {
        while (s < stored.size() && stored[s].name != c.name)
            ++s;
        ASSERT_LT(s, stored.size()) << c.name << " is not stored";
        EXPECT_EQ(goldenDifference(stored[s], c), "");
    }
}
