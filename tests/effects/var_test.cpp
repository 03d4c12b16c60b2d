// Tweakable variables: lookup by name.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "effects/var.h"

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
    EXPECT_EQ(find_var_in(std::vector<std::pair<iVar*, void*>>(), "cur_t"), nullptr);
}
