#pragma once

// The HLA vocabulary the run-time speaks, by its short names inside the run-time.

#include "platform/hla/Error.h"
#include "platform/hla/FederateAmbassador.h"
#include "platform/hla/FederationDescription.h"
#include "platform/hla/Types.h"

namespace rti {

using hla::AttributeHandle;
using hla::AttributeSet;
using hla::AttributeValues;
using hla::Bytes;
using hla::Error;
using hla::ErrorKind;
using hla::FederateAmbassador;
using hla::FederateHandle;
using hla::FederationDescription;
using hla::formatTime;
using hla::InteractionClassHandle;
using hla::InteractionClassSpec;
using hla::kInfiniteTime;
using hla::LogicalTime;
using hla::ObjectClassHandle;
using hla::ObjectClassSpec;
using hla::ObjectInstanceHandle;
using hla::Order;
using hla::ParameterHandle;
using hla::ParameterValues;
using hla::ResignAction;
using hla::toString;
using hla::toUnderlying;
using hla::Transport;

// The registrant and owner of what the run-time registers itself, the management objects:
// no federate has this handle.
inline constexpr FederateHandle kRunTimeItself{0};

}  // namespace rti
