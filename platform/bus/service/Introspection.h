#pragma once

#include <QString>

namespace bus::service {

// The introspection data of the object at path, as the <interface> and <node> elements
// within its <node>, taken from the shipped interface description.
QString introspectionOf(const QString& path);

}  // namespace bus::service
