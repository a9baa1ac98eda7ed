// What an uninstall or a roll-back removes, decided before anything is touched.
#include "uninstall/removal_plan.h"

DataChoices dataChoicesFromBoxes(bool all, bool game, bool system, bool read, bool save)
{
    DataChoices choices = {};
    choices.all = all;
    choices.anyBoxChecked = game || system || read || save;
    choices.game = all || game;
    choices.system = all || system;
    choices.read = all || read;
    choices.save = all || save;
    return choices;
}

RemovalPlan planUninstall(const bool installed[kTitleCount], bool productInstalled, const UninstallChoices& choices)
{
    RemovalPlan plan = {};
    bool titleLeft = false;
    for (int i = 0; i < kTitleCount; ++i) {
        plan.titles[i] = installed[i] && choices.titles[i] && choices.data.game;
        if (installed[i] && !plan.titles[i]) titleLeft = true;
    }
    for (bool& extra : plan.harborExtras) extra = plan.titles[kHarborIndex];
    plan.product = productInstalled && !titleLeft && choices.data.anyBoxChecked;
    if (plan.product) plan.productData = choices.data;
    return plan;
}

bool removesAnything(const RemovalPlan& plan)
{
    for (bool title : plan.titles)
        if (title) return true;
    for (bool extra : plan.harborExtras)
        if (extra) return true;
    const DataChoices& data = plan.productData;
    return plan.product && (data.game || data.system || data.read || data.save);
}

bool dataOptionsApply(const bool installed[kTitleCount], const bool chosen[kTitleCount])
{
    for (int i = 0; i < kTitleCount; ++i)
        if (installed[i] && !chosen[i]) return false;
    return true;
}

RemovalPlan planRollBack(const InstallChoices& run, const RunOrigin& origin)
{
    RemovalPlan plan = {};
    for (int i = 0; i < kTitleCount; ++i) plan.titles[i] = run.titles[i] && !origin.titleInstalled[i];
    for (int e = 0; e < kHarborExtraCount; ++e)
        plan.harborExtras[e] = run.titles[kHarborIndex] && !origin.harborExtraInstalled[e];
    plan.product = !origin.productInstalled;
    if (plan.product) {
        // What the run copied and made, and the folders when empty; none of the player's data.
        plan.productData.game = true;
        plan.productData.all = true;
        plan.productData.anyBoxChecked = true;
    }
    return plan;
}
