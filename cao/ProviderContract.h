#pragma once

namespace cao {

// The identifier of the HLA provider: the engine registers it under this name, and every
// controller of this program and of the peer is opened with it.
inline constexpr const char* kProviderId = "CaoProv.Zarn.HLA";

}  // namespace cao
