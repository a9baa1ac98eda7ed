// What an uninstall and the roll-back of an install run remove, decided from the choices alone.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "uninstall/removal_plan.h"

namespace {

struct Titles {
    bool at[kTitleCount] = {};
    Titles(std::initializer_list<int> indexes)
    {
        for (int i : indexes) at[i] = true;
    }
};

std::string titlesOf(const RemovalPlan& plan)
{
    std::string text;
    for (int i = 0; i < kTitleCount; ++i) text += plan.titles[i] ? char('0' + i) : '-';
    return text;
}

TEST(DataChoices, DeleteAllCountsForAllFourButNotAsABoxOfItsOwn)
{
    const DataChoices all = dataChoicesFromBoxes(true, false, false, false, false);
    EXPECT_TRUE(all.game && all.system && all.read && all.save && all.all);
    EXPECT_FALSE(all.anyBoxChecked);
    const DataChoices save = dataChoicesFromBoxes(false, false, false, false, true);
    EXPECT_TRUE(save.save && save.anyBoxChecked);
    EXPECT_FALSE(save.game || save.system || save.read || save.all);
}

// Lantern and Harbor installed, with the product.
TEST(UninstallPlan, TitlesGoWithGameDataAndTheProductOnlyWithTheLastOne)
{
    const Titles installed{0, 2};
    struct Case {
        const char* name;
        Titles chosen;
        DataChoices data;
        const char* titles;   // which titles go, by index
        bool product, anything, dataOptions;
    };
    const DataChoices game = dataChoicesFromBoxes(false, true, false, false, false);
    const DataChoices save = dataChoicesFromBoxes(false, false, false, false, true);
    const DataChoices all = dataChoicesFromBoxes(true, true, true, true, true);
    const DataChoices none = dataChoicesFromBoxes(false, false, false, false, false);
    const Case cases[] = {
        {"one title, game data", {0}, game, "0----", false, true, false},
        {"one title, save data only", {0}, save, "-----", false, false, false},
        {"one title, nothing", {0}, none, "-----", false, false, false},
        {"a title not installed", {1, 4}, all, "-----", false, false, false},
        {"both, save data only", {0, 2}, save, "-----", false, false, true},
        {"both, game data", {0, 2}, game, "0-2--", true, true, true},
        {"everything, all data", {0, 1, 2, 3, 4}, all, "0-2--", true, true, true},
    };
    for (const Case& c : cases) {
        UninstallChoices choices = {};
        for (int i = 0; i < kTitleCount; ++i) choices.titles[i] = c.chosen.at[i];
        choices.data = c.data;
        const RemovalPlan plan = planUninstall(installed.at, true, choices);
        EXPECT_EQ(titlesOf(plan), c.titles) << c.name;
        EXPECT_EQ(plan.harborExtras[0] && plan.harborExtras[1], plan.titles[kHarborIndex]) << c.name;
        EXPECT_EQ(plan.product, c.product) << c.name;
        EXPECT_EQ(removesAnything(plan), c.anything) << c.name;
        EXPECT_EQ(dataOptionsApply(installed.at, choices.titles), c.dataOptions) << c.name;
        if (plan.product) {
            EXPECT_EQ(plan.productData.save, c.data.save) << c.name;
            EXPECT_EQ(plan.productData.all, c.data.all) << c.name;
        }
    }

    // The product left by a run that ended before its titles goes with any data box.
    UninstallChoices onlySave = {};
    onlySave.data = save;
    const RemovalPlan partial = planUninstall(Titles{}.at, true, onlySave);
    EXPECT_TRUE(partial.product && removesAnything(partial));
    EXPECT_FALSE(planUninstall(Titles{}.at, false, onlySave).product) << "no product, nothing to remove";
}

TEST(RollBackPlan, OnlyWhatTheRunAddedGoesAndNeverPlayerData)
{
    InstallChoices run = {};
    run.titles[1] = run.titles[kHarborIndex] = true;

    // A later run into the installed product, which also had Harbor's second extra record.
    RunOrigin later = {};
    later.productInstalled = true;
    later.titleInstalled[0] = true;
    later.harborExtraInstalled[1] = true;
    RemovalPlan plan = planRollBack(run, later);
    EXPECT_EQ(titlesOf(plan), "-12--");
    EXPECT_TRUE(plan.harborExtras[0]);
    EXPECT_FALSE(plan.harborExtras[1]) << "an extra record that was there stays";
    EXPECT_FALSE(plan.product);

    // A title checked but installed when the run started is not the run's.
    run.titles[0] = true;
    EXPECT_FALSE(planRollBack(run, later).titles[0]);

    // The first run: the product goes with what it copied, but no player data.
    plan = planRollBack(run, RunOrigin{});
    EXPECT_EQ(titlesOf(plan), "012--");
    EXPECT_TRUE(plan.product);
    EXPECT_TRUE(plan.productData.game && plan.productData.all);
    EXPECT_FALSE(plan.productData.save || plan.productData.read || plan.productData.system);
}

}  // namespace
