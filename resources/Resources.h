// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// Linking pulsavo_resources is enough for :/icons/pulsavo-16.png, :/icons/pulsavo-32.png and
// :/icons/pulsavo.svg to exist: Qt links the compiled resource's object file straight into every
// executable that links the library (even through another static library), and its static
// initialiser registers the icons. pulsavo::initResources() registers them explicitly for code
// that must not rely on that; calling it again is harmless.
//
// Q_INIT_RESOURCE declares the generated function in the enclosing namespace, so it has to be
// expanded outside namespace pulsavo.
inline void pulsavoInitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace pulsavo {

inline void initResources() {
    ::pulsavoInitIconResources();
}

} // namespace pulsavo
