// Default behaviour of the widget interface (see gui_node.h).
#include "gui/gui_node.h"

#include "effects/var.h"

void iGuiNode::add_var(iVar* in_var, iGuiNode* in_widget)
{
    delete in_var;
    delete in_widget;
}
