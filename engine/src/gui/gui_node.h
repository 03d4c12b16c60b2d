// The debug overlay's widget interface, in unit coordinates of the demo area (0..1 across and
// up). Mouse event kinds: 1 press, 4 release, 7 move (from the main loop); 8 arm, 9 disarm
// (made by the variable list).
#pragma once

class iVar;

class iGuiNode
{
public:
    enum eMouseKind
    {
        MOUSE_PRESS = 1,
        MOUSE_RELEASE = 4,
        MOUSE_MOVE = 7,
        MOUSE_ARM = 8,
        MOUSE_DISARM = 9
    };

    virtual ~iGuiNode() = default;
    virtual void refresh() {}
    virtual void prepare() {}
    virtual bool on_mouse(int in_kind, float in_x, float in_y) { return false; }
    virtual void draw() = 0;
    virtual bool contains(float in_x, float in_y) const { return false; }
    virtual void set_pos(float in_x, float in_y) = 0;
    virtual void get_pos(float& out_x, float& out_y) const = 0;
    virtual bool is_active() const = 0;
    // Takes a (variable, widget) row; the node owns both from now on. Nodes that keep no rows
    // delete them (the variable list keeps them).
    virtual void add_var(iVar* in_var, iGuiNode* in_widget);
};
