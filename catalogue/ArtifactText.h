#pragma once

#include "Artifact.h"
#include "Language.h"

#include <string_view>

namespace pulsavo::catalogue {

// An artifact's name, as feedback names what was laid over a trace.
std::string_view artifactNameOf(ArtifactKind kind, Language language = Language::japanese);

// How to tell the artifact from the rhythm it looks like, in a few sentences.
std::string_view artifactExplanationOf(ArtifactKind kind, Language language = Language::japanese);

} // namespace pulsavo::catalogue
