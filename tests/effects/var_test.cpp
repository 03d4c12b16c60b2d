// Tweakable variables: texts and lookup by name.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "effects/var.h"

TEST(Var, ValueTextsPerType)
{
    int i = -42;
    float f = 0.125f;
    double d = 2.5;
    std::string s;
    Vec3<float> v(1.0f, 0.5f, 2.125f);
    EXPECT_EQ(cVar<int>("i", &i).to_string(), "-42");
    EXPECT_EQ(cVar<float>("f", &f).to_string(), "0.125");
    EXPECT_EQ(cVar<double>("d", &d).to_string(), "2.5");
    EXPECT_EQ(cVar<std::string>("s", &s).to_string(), "");
    s = "label text";
    EXPECT_EQ(cVar<std::string>("s", &s).to_string(), "label text");
    EXPECT_EQ(cVar<Vec3<float>>("v", &v).to_string(), "(1,0.50,2.12)");
}

TEST(Var, LookupTakesTheFirstWholeNameMatch)
{
    int a = 1, b = 2, c = 3;
    std::vector<std::unique_ptr<iVar>> owned;
    owned.emplace_back(new cVar<int>(&a)); // unnamed
    owned.emplace_back(new cVar<int>("cur_t", &b));
    owned.emplace_back(new cVar<int>("cur_t", &c));
    owned.emplace_back(new cVar<int>("cur", &c));
    std::vector<std::pair<iVar*, void*>> list;
    for (auto& v : owned)
        list.emplace_back(v.get(), nullptr);

    EXPECT_EQ(find_var_in(list, "cur_t"), owned[1].get());
    EXPECT_EQ(find_var_in(list, "cur"), owned[3].get());
    EXPECT_EQ(find_var_in(list, "Cur_t"), nullptr); // case-sensitive
    EXPECT_EQ(find_var_in(list, "cur_"), nullptr);  // whole names only
    EXPECT_EQ(find_var_in(list, "x"), nullptr);
    EXPECT_EQ(find_var_in(std::vector<std::pair<iVar*, void*>>(), "cur_t"), nullptr);
}
