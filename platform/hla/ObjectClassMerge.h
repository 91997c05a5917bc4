#pragma once

// The pass of merging a module that merges its object classes: a class new to the
// description is added with its attributes; one restated without attributes matches the
// class whatever its attributes; one the description holds without attributes takes the
// module's; otherwise the two must declare the same attributes alike (the roots by name only),
// and what one leaves open the other fills in.

#include "platform/hla/MergePass.h"

#include <string>

namespace hla::merge {

class ObjectClassMerge : public MergePass {
public:
    using MergePass::MergePass;

    // Throws Error (InconsistentFdd) at the first conflict.
    void run();

private:
    void addAttributes(ObjectClassHandle ours, const ObjectClassSpec& theirs,
                       const std::string& module);
    void compareAttributes(ObjectClassHandle ours, const ObjectClassSpec& theirs,
                           const std::string& module);
    std::string clash(ObjectClassHandle cls, const std::string& attribute) const;
};

}  // namespace hla::merge
