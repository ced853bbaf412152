// The control classes registered at engine start-up, in the order the engine receives them.
// A class that exists gives its factory here, e.g.
//     {kClassButton, kTypeButton, PrototypeFactoryOf<Button>()},
// and includes its header; a row without a factory is skipped.
#include "foundation/ControlClasses.h"

#include "controls/ImageBox.h"
#include "controls/Label.h"
#include "controls/Page.h"

namespace toolkit {

const ControlClassEntry kControlClasses[kControlClassCount] = {
    {kClassSysButton, kTypeSysButton, {}},
    {kClassLabel, kTypeLabel, PrototypeFactoryOf<Label>()},
    {kClassImageBox, kTypeImageBox, PrototypeFactoryOf<ImageBox>()},
    {kClassButton, kTypeButton, {}},
    {kClassCheckButton, kTypeCheckButton, {}},
    {kClassRadioButton, kTypeRadioButton, {}},
    {kClassEdit, kTypeEdit, {}},
    {kClassLink, kTypeLink, {}},
    {kClassProgress, kTypeProgress, {}},
    {kClassComboBox, kTypeComboBox, {}},
    {kClassGroupBox, kTypeGroupBox, {}},
    {kClassScrollBar, kTypeScrollBar, {}},
    {kClassImageButton, kTypeImageButton, {}},
    {kClassListBox, kTypeListBox, {}},
    {kClassPage, kTypePage, PrototypeFactoryOf<Page>()},
    {kClassThunderButton, kTypeThunderButton, {}},
    {kClassImageListButton, kTypeImageListButton, {}},
};

}  // namespace toolkit
