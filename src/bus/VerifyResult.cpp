#include "bus/VerifyResult.h"

VerifyResult VerifyResult::evaluate(const TestPlan &plan, const BusVerifier &verifier)
{
    VerifyResult result;
    result.error = verifier.error();
    result.cancelled = verifier.cancelled();
    for (const ::Direction from : plan.directions) {
        PerDirection d;
        d.from = from;
        const std::vector<PlanFrame> &frames = plan.framesFrom(from);
        const std::vector<Observation> &seen = verifier.seen(from);
        d.frames = int(frames.size());
        d.verdicts.resize(frames.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            const FilterImage::Route &e = frames[i].expected;
            const Observation o = i < seen.size() ? seen[i] : Observation();
            FrameVerdict &v = d.verdicts[i];
            if (o.count > 0)
                ++d.arrived;
            v.seen = o;
            const bool right =
                e.passes ? (o.count == 1 && o.id == e.id && o.extended == e.extended && !o.reordered) : o.count == 0;
            if (!right) {
                v.kind = FrameVerdict::Mismatch;
                d.mismatches.push_back(int(i));
            } else if (!e.passes) {
                v.kind = FrameVerdict::Blocked;
            } else {
                v.kind = (e.id == frames[i].id && e.extended == frames[i].extended) ? FrameVerdict::Passed
                                                                                    : FrameVerdict::Remapped;
            }
        }
        result.directions.push_back(std::move(d));
    }
    return result;
}

bool VerifyResult::allMatched() const
{
    return error.isEmpty() && !cancelled && mismatchCount() == 0 && !directions.empty();
}

int VerifyResult::mismatchCount() const
{
    int n = 0;
    for (const PerDirection &d : directions)
        n += int(d.mismatches.size());
    return n;
}
