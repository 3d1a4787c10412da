#include "analyzer_b/driver.h"

#include "analyzer_b/characters.h"
#include "analyzer_b/encounters.h"
#include "analyzer_b/formations.h"
#include "analyzer_b/items.h"
#include "analyzer_b/monsters.h"
#include "analyzer_b/techniques.h"
#include "common/report_job.h"

namespace mt3 {

namespace {

struct Blocks {
    MonsterRecord* monsters;
    EncounterRow* encounters_main;
    SubEncounter* encounters_sub;
    CharacterRecord* characters;
    ItemRecord* items;
    TechRecord* techs;
    TechLearning* learning;
    FormationEntry* formations;
};

// The loaders in their order; the owner releases the blocks after the run.
Blocks load_all(RunBlocks& owner) {
    Blocks b{};
    b.monsters = owner.keep(load_monsters());
    b.encounters_main = owner.keep(load_encounters_main());
    b.encounters_sub = owner.keep(load_encounters_sub());
    b.characters = owner.keep(load_characters());
    b.items = owner.keep(load_items());
    b.techs = owner.keep(load_techs());
    b.learning = owner.keep(load_tech_learning());
    b.formations = owner.keep(load_formations());
    return b;
}

// The monster writers that also read the item block.
ReportJob monster_item_job(const char* file_name,
                           int (*writer)(const char*, const MonsterRecord*, const ItemRecord*),
                           const Blocks& b) {
    return {file_name, [writer, &b](const char* path) { return writer(path, b.monsters, b.items); }};
}

int write_all(const char* prefix, const Blocks& b) {
    const ReportJob jobs[] = {
        monster_item_job("mt3monparam.txt", write_monparam, b),
        monster_item_job("mt3monregist.txt", write_monregist, b),
        report_job("mt3monflag.txt", write_monflag, b.monsters),
        report_job("mt3monitem.txt", write_monitem, b.monsters),
        report_job("mt3monequip.txt", write_monequip, b.monsters),
        report_job("mt3monact.txt", write_monact, b.monsters),
        report_job("mt3monencmain.txt", write_monencmain, b.encounters_main),
        report_job("mt3monencsub.txt", write_monencsub, b.encounters_sub),
        report_job("mt3monmisc.txt", write_monmisc, b.monsters),
        report_job("mt3chrparam.txt", write_chrparam, b.characters),
        report_job("mt3chrlvup.txt", write_chrlvup, b.characters),
        report_job("mt3chrflag.txt", write_chrflag, b.characters),
        report_job("mt3itemparam.txt", write_item_param, b.items),
        report_job("mt3itemregist.txt", write_item_regist, b.items),
        report_job("mt3itemeffect.txt", write_item_effect, b.items),
        report_job("mt3techlearnflag.txt", write_tech_learn_flag, b.techs),
        report_job("mt3techlearndata.txt", write_tech_learn_data, b.learning),
        report_job("mt3techevadedata.txt", write_tech_evade_data, b.techs),
        report_job("mt3formdata.txt", write_formdata, b.formations),
    };
    return write_reports(prefix, jobs);
}

}  // namespace

int run(const char* prefix) { return run_analyzer(prefix, load_all, write_all); }

const AnalyzerInfo kAnalyzerInfo = {
    "mt3analyzer - MERIDIAN TALES3 data table analyzer",
    "%s: [option] src-filename [dst-pathname]\n",
    "MERIDIAN TALES3      ",
    run,
};

}  // namespace mt3
