// The XML layout loader: builds a host window and its element tree from a layout document.
//
// The root element's attributes describe the window; every element below it names its control
// class in "objtype" and hands all of its attributes to the new element, which initialises
// itself from them (element slot 22). Host window slots 33-35 (LoadLayoutFromXml,
// LoadChildrenFromXml, BindEventByElementId) are the entry points; the routines here do the
// work and are usable on their own.
//
// Layouts are untrusted input. What the loader does with a bad one:
//  - a document that does not parse creates nothing and yields 0;
//  - a missing or malformed root attribute takes its default (see LoadLayoutFromXml);
//  - a window width or height outside 1..kMaxLayoutWindowSide takes the toolkit's default;
//  - an "objtype" naming no registered class skips that element, its children are still made;
//  - elements nested deeper than kMaxLayoutDepth, and elements past the first
//    kMaxLayoutElements, are not created.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/Element.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

class XmlDocument;

// The path of the layout's root node, and the text joining a parent path to a child position.
constexpr char kLayoutRootPath[] = "@1";
constexpr char kLayoutChildStep[] = "/@";
// The attribute naming an element's control class (compared ignoring case).
constexpr char kLayoutClassAttribute[] = "objtype";
// How attribute names and values are joined for the element.
constexpr char kLayoutNameSeparator[] = ",";
constexpr char kLayoutValueSeparator[] = ",!,";

// Limits on untrusted layouts.
constexpr std::int32_t kMaxLayoutWindowSide = 8192;
constexpr int kMaxLayoutDepth = 64;
constexpr int kMaxLayoutElements = 4096;
// The largest byte value a layout may name (an engine resource or a file).
constexpr std::size_t kMaxLayoutResourceBytes = 64u << 20;

// CRC-32 values of the upper-cased tag words that start a resource value: an engine resource
// and a file (five characters, the name from the seventh), and a third tag (four characters)
// that yields no bytes.
constexpr std::uint32_t kTagEngineResourceCrc = 0x04934BB5;
constexpr std::uint32_t kTagFileCrc = 0x059FABEC;
constexpr std::uint32_t kTagUnsupportedCrc = 0x27C05917;
constexpr std::size_t kTagLongChars = 5;
constexpr std::size_t kTagShortChars = 4;
constexpr std::size_t kTagNameStart = 6;

// The standard CRC-32 (reflected, polynomial 0xEDB88320, as RtlComputeCrc32 from 0).
std::uint32_t LayoutCrc32(const std::string& bytes);

// The bytes a layout value names: a braced list of decimal numbers ("{1,2,3}", "." also
// separating, each number modulo 256), an engine resource or a file. True when there are any.
bool ResolveResourceValue(const std::string& value, ByteArray& out);

// Four comma-separated numbers into out; false (and out unchanged) for any other count.
bool ParseGridList(const std::string& text, float out[4]);

// The element handle of a new element of the named class, or 0 when no such class is
// registered; typeId receives the class's type id.
ElementHandle CreateElementByClassName(const std::string& className, std::int32_t& typeId);

// Creates the elements below the node at path into the window, under parent (0: the window).
// depth counts the levels above and created the elements made so far in this load.
std::uint32_t CreateChildElementsFromXml(HWND window, std::uint32_t ownHandle,
                                         const std::string& path, const XmlDocument& document,
                                         ElementHandle parent, int depth = 0,
                                         int* created = nullptr);

// The element of the window with that ID, or 0. The window's children are searched from the
// last one backwards, each element before its own children.
ElementHandle FindElementById(HWND window, std::int32_t id);

}  // namespace toolkit
