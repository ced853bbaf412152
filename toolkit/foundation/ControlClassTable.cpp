// The control classes registered at engine start-up, in the order the engine receives them.
// A class that exists gives its factory here, e.g.
//     {kClassButton, kTypeButton, PrototypeFactoryOf<Button>()},
// and includes its header; a row without a factory is skipped.
#include "foundation/ControlClasses.h"

#include "controls/Button.h"
#include "controls/CheckButton.h"
#include "controls/ComboBox.h"
#include "controls/Edit.h"
#include "controls/GroupBox.h"
#include "controls/ImageBox.h"
#include "controls/ImageButton.h"
#include "controls/ImageListButton.h"
#include "controls/Label.h"
#include "controls/Link.h"
#include "controls/ListBox.h"
#include "controls/Page.h"
#include "controls/Progress.h"
#include "controls/RadioButton.h"
#include "controls/ScrollBar.h"
#include "controls/ThunderButton.h"
#include "core/SysButton.h"

namespace toolkit {

const ControlClassEntry kControlClasses[kControlClassCount] = {
    {kClassSysButton, kTypeSysButton, PrototypeFactoryOf<SysButton>()},
    {kClassLabel, kTypeLabel, PrototypeFactoryOf<Label>()},
    {kClassImageBox, kTypeImageBox, PrototypeFactoryOf<ImageBox>()},
    {kClassButton, kTypeButton, PrototypeFactoryOf<Button>()},
    {kClassCheckButton, kTypeCheckButton, PrototypeFactoryOf<CheckButton>()},
    {kClassRadioButton, kTypeRadioButton, PrototypeFactoryOf<RadioButton>()},
    {kClassEdit, kTypeEdit, PrototypeFactoryOf<Edit>()},
    {kClassLink, kTypeLink, PrototypeFactoryOf<Link>()},
    {kClassProgress, kTypeProgress, PrototypeFactoryOf<Progress>()},
    {kClassComboBox, kTypeComboBox, PrototypeFactoryOf<ComboBox>()},
    {kClassGroupBox, kTypeGroupBox, PrototypeFactoryOf<GroupBox>()},
    {kClassScrollBar, kTypeScrollBar, PrototypeFactoryOf<ScrollBar>()},
    {kClassImageButton, kTypeImageButton, PrototypeFactoryOf<ImageButton>()},
    {kClassListBox, kTypeListBox, PrototypeFactoryOf<ListBox>()},
    {kClassPage, kTypePage, PrototypeFactoryOf<Page>()},
    {kClassThunderButton, kTypeThunderButton, PrototypeFactoryOf<ThunderButton>()},
    {kClassImageListButton, kTypeImageListButton, PrototypeFactoryOf<ImageListButton>()},
};

}  // namespace toolkit
