// Variable list widget (see gui_var_list.h).
#include "gui/gui_var_list.h"

#include <cmath>

#include "effects/var.h"
#include "gl_extensions.h"
#include "gui/gui_slider.h"
#include "gui/gui_vec3_slider.h"
#include "input.h"
#include "math/defmath.h"

namespace {

std::string vector_text(const Vec3<float>& in_value)
{
    return "(" + vnt::two_decimals(in_value.x) + "," + vnt::two_decimals(in_value.y) + "," +
           vnt::two_decimals(in_value.z) + ")";
}

} // namespace

cGuiVarList::~cGuiVarList()
{
    clear();
}

void cGuiVarList::prepare()
{
    clear();
    set_fill_colour(0.0f, 0.0f, 0.0f, 0.35f);
    m_label.prepare();
}

void cGuiVarList::clear()
{
    for (auto& row : m_rows) {
        delete row.first;
        delete row.second;
    }
    m_rows.clear();
    m_dirty = true;
}

void cGuiVarList::add_var(iVar* in_var, iGuiNode* in_widget)
{
    m_rows.emplace_back(in_var, in_widget);
    m_dirty = true;
}

std::string cGuiVarList::shown_name(const iVar* in_var)
{
    return in_var ? in_var->get_name().substr(0, NAME_LENGTH) : std::string();
}

void cGuiVarList::print(std::ostream& os) const
{
    for (const auto& row : m_rows) {
        if (row.first)
            os << row.first->get_name() << " " << row.first->to_string() << std::endl;
    }
}

float cGuiVarList::row_y(size_t in_row) const
{
    return m_h - ROW_HEIGHT * float(in_row) + 0.02f;
}

void cGuiVarList::lay_out()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].second)
            m_rows[i].second->set_pos(m_x + WIDGET_X, row_y(i));
    }
    m_dirty = false;
}

bool cGuiVarList::on_mouse(int in_kind, float in_x, float in_y)
{
    if (m_dirty)
        lay_out(); // rows set since the last draw are hit where they will be drawn
    const bool held = g_mouse.any_button();
    // Arming: only while no button is held, so the armed widget stays the one that was under
    // the pointer when the button went down.
    if (!held) {
        for (auto& row : m_rows) {
            if (row.second)
                row.second->on_mouse(MOUSE_DISARM, in_x, in_y);
        }
        for (auto& row : m_rows) {
            if (row.second && row.second->contains(in_x, in_y)) {
                row.second->on_mouse(MOUSE_ARM, in_x, in_y);
                break;
            }
        }
    }
    if (in_kind != MOUSE_MOVE || !held)
        return false;
    for (auto& row : m_rows) {
        // In step with the variable first: a vector dragged on one axis keeps the other two.
        sync_widget(row.first, row.second);
        if (row.second && row.second->on_mouse(MOUSE_MOVE, in_x, in_y)) {
            write_back(row.first, row.second);
            return true;
        }
    }
    return false;
}

void cGuiVarList::write_back(iVar* in_var, iGuiNode* in_widget) const
{
    if (const auto* slider = dynamic_cast<const cGuiSlider*>(in_widget)) {
        const float value = slider->get_value();
        if (auto* f = dynamic_cast<cVar<float>*>(in_var))
            f->set(value);
        else if (auto* d = dynamic_cast<cVar<double>*>(in_var))
            d->set(double(value));
        else if (auto* i = dynamic_cast<cVar<int>*>(in_var))
            i->set(int(std::floor(value + 0.5f))); // nearest, halves up, on both sides of 0
    } else if (const auto* vec = dynamic_cast<const cGuiVec3Slider*>(in_widget)) {
        if (auto* v = dynamic_cast<cVar<Vec3<float>>*>(in_var))
            v->set(vec->get_value());
    }
}

void cGuiVarList::sync_widget(iVar* in_var, iGuiNode* in_widget) const
{
    if (auto* slider = dynamic_cast<cGuiSlider*>(in_widget)) {
        if (const auto* f = dynamic_cast<const cVar<float>*>(in_var))
            slider->set_value(*f->get());
        else if (const auto* d = dynamic_cast<const cVar<double>*>(in_var))
            slider->set_value(float(*d->get()));
        else if (const auto* i = dynamic_cast<const cVar<int>*>(in_var))
            slider->set_value(float(*i->get()));
    } else if (auto* vec = dynamic_cast<cGuiVec3Slider*>(in_widget)) {
        if (const auto* v = dynamic_cast<const cVar<Vec3<float>>*>(in_var))
            vec->set_value(*v->get());
    }
}

void cGuiVarList::draw()
{
    if (m_dirty)
        lay_out();
    for (auto& row : m_rows)
        sync_widget(row.first, row.second);
    cGuiRectangle::draw();
    for (size_t i = 0; i < m_rows.size(); ++i)
        draw_row(i);
}

void cGuiVarList::draw_row(size_t in_row)
{
    iVar* var = m_rows[in_row].first;
    iGuiNode* widget = m_rows[in_row].second;
    float x = m_x, y = row_y(in_row);
    if (widget)
        widget->get_pos(x, y);
    const bool armed = widget && widget->is_active();
    if (armed) {
        glColor4f(1.0f, 1.0f, 1.0f, 0.45f);
        glBegin(GL_QUADS);
        glVertex2f(m_x, y);
        glVertex2f(m_w, y);
        glVertex2f(m_w, y + ROW_HEIGHT);
        glVertex2f(m_x, y + ROW_HEIGHT);
        glEnd();
    }

    m_label.set_text(shown_name(var));
    m_label.set_pos(m_x, y);
    glColor4f(1.0f, 1.0f, 1.0f, armed ? 1.0f : 0.85f);
    m_label.draw();

    if (auto* text = dynamic_cast<cGuiTxtLabel*>(widget)) {
        text->set_text(var ? var->to_string() : std::string());
        text->draw();
        return;
    }
    std::string value;
    if (const auto* slider = dynamic_cast<const cGuiSlider*>(widget))
        value = vnt::two_decimals(slider->get_value());
    else if (const auto* vec = dynamic_cast<const cGuiVec3Slider*>(widget))
        value = vector_text(vec->get_value());
    else if (var)
        value = var->to_string(); // a row without a widget shows its value only
    m_label.set_text(value);
    m_label.set_pos(m_x + VALUE_X, y);
    if (widget)
        widget->draw();
    glColor4f(1.0f, 1.0f, 1.0f, 0.85f);
    m_label.draw();
}
