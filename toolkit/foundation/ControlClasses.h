// The control classes the program registers with the engine at start-up: class names (also
// their theme sections), type ids, and the registry that hands each class's prototype over.
//
// The engine keeps its own copy of every prototype (made through the prototype's slot 1 while it
// registers), so the program releases its prototypes right after registering them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace toolkit {

// Class-name texts, spelled as the engine, the layouts and the themes know them.
constexpr char kClassSysButton[] = "SysButton";
constexpr char kClassLabel[] = "Label";
constexpr char kClassImageBox[] = "ImageBox";
constexpr char kClassButton[] = "Button";
constexpr char kClassCheckButton[] = "CheckButton";
constexpr char kClassRadioButton[] = "RadioButton";
constexpr char kClassEdit[] = "Edit";
constexpr char kClassLink[] = "Link";
constexpr char kClassProgress[] = "Progress";
constexpr char kClassComboBox[] = "ComboBox";
constexpr char kClassGroupBox[] = "GroupBox";
constexpr char kClassScrollBar[] = "ScrollBar";
constexpr char kClassImageButton[] = "ImageButton";
constexpr char kClassListBox[] = "ListBox";
constexpr char kClassPage[] = "Page";
constexpr char kClassThunderButton[] = "ThunderButton";
constexpr char kClassImageListButton[] = "ImageListButton";

// Class type ids (element field 10).
enum ControlTypeId : std::uint32_t {
    kTypeSysButton = 1,
    kTypeLabel = 2,
    kTypeImageBox = 3,
    kTypeButton = 4,
    kTypeCheckButton = 5,
    kTypeRadioButton = 6,
    kTypeImageButton = 7,
    kTypeLink = 8,
    kTypeEdit = 9,
    kTypeGroupBox = 10,
    kTypeComboBox = 11,
    kTypeListBox = 12,
    kTypeProgress = 13,
    kTypeScrollBar = 16,
    kTypePage = 19,
    kTypeThunderButton = 22,
    kTypeImageListButton = 23,
};

// How the registry makes and releases one prototype: create returns a new zero-filled object
// whose first word is its class's method table; release frees its owned members (slot 0) and
// then the object.
struct ControlPrototypeFactory {
    void* (*create)() = nullptr;
    void (*release)(void* prototype) = nullptr;
};

// The factory of a control class that declares FreeMembers as its slot 0.
template <typename T>
ControlPrototypeFactory PrototypeFactoryOf() {
    return {[]() -> void* { return new T(); },
            [](void* prototype) {
                T* object = static_cast<T*>(prototype);
                object->FreeMembers();
                // The static type is the object's exact class; classes whose slots cross the
                // engine declare no virtual destructor, on purpose.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdelete-non-virtual-dtor"
                delete object;
#pragma GCC diagnostic pop
            }};
}

struct ControlClassEntry {
    const char* name;
    std::uint32_t typeId;
    // Empty until the class exists: such a class is not registered.
    ControlPrototypeFactory factory;
};

// The classes in registration order (ControlClassTable.cpp, one line per class).
constexpr std::size_t kControlClassCount = 17;
extern const ControlClassEntry kControlClasses[kControlClassCount];

}  // namespace toolkit
