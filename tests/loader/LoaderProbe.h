// What the in-memory loader's test library and its test agree on.
#pragma once

namespace loader_probe {

// DllMain appends kAttachMark or kDetachMark to this environment variable, so the test sees
// which notifications ran even after the image is gone.
constexpr char kEventsVariable[] = "LOADER_PROBE_EVENTS";
constexpr char kAttachMark = 'A';
constexpr char kDetachMark = 'D';
// When this variable is set, DllMain refuses the attach.
constexpr char kRefuseVariable[] = "LOADER_PROBE_REFUSE";

// ProbeAdd(x) = kBaseValue + x, ProbeAddTwice(x) = kBaseValue + 2x, read through a pointer
// that the image's base relocations must fix; ProbeSecret is exported by ordinal only.
constexpr int kBaseValue = 41;
constexpr int kSecretValue = 0x5EC7;
constexpr unsigned kAddOrdinal = 1;
constexpr unsigned kSecretOrdinal = 7;

}  // namespace loader_probe
