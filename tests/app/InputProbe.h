// What the end-to-end tests and the input probe they hook into the program under test agree on.
//
// A program started as a user starts it cannot say when it has handled the messages a test
// posted to it, and nothing outside it can tell: a message sent to it overtakes those posted
// before. So the test hooks the probe into the program's window thread; the probe sees each
// message the thread takes from its queue and sets a named event when it takes the test's
// marker, which comes after everything posted before it.
#pragma once

namespace input_probe {

// The probe library, beside the test programs, and its hook routine (WH_GETMESSAGE).
constexpr char kLibraryName[] = "e2e_input_probe.dll";
constexpr char kHookRoutine[] = "TakeMessage";

// Posted by a test after what it gave; taken once everything posted before it is handled.
constexpr char kMarkerMessage[] = "Vennmark.E2E.Marker";

// Set when the program (process id) takes the marker: kMarkerEvent + id.
constexpr char kMarkerEvent[] = "Vennmark.E2E.Marker.";

}  // namespace input_probe
