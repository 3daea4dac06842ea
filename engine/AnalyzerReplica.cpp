#include "AnalyzerReplica.h"

namespace qv {

void AnalyzerReplica::follow(const ParameterRecord& setup, bool bypassed, float sampleRate)
{
    engine_.followSetup(setup);
    engine_.setBypass(bypassed ? 1 : 0);
    engine_.setSampleRate(sampleRate);
}

void AnalyzerReplica::restart() { engine_.resetState(); }

}  // namespace qv
