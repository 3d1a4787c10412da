#include "analyzer_a/driver.h"

#include "analyzer_a/characters.h"
#include "analyzer_a/formations.h"
#include "analyzer_a/items.h"
#include "analyzer_a/monsters.h"
#include "analyzer_a/techniques.h"
#include "common/report_job.h"

namespace mt2 {

namespace {

struct Blocks {
    MonsterRecord* monsters;
    CharacterRecord* characters;
    SpecialCharacterRecord* specials;
    int32_t* levels;
    ItemRecord* items;
    TechRecord* techs;
    TechLearning* learning;
    FormationEntry* formations;
};

// The loaders in their order; the owner releases the blocks after the run.
Blocks load_all(RunBlocks& owner) {
    Blocks b{};
    b.monsters = owner.keep(load_monsters());
    b.characters = owner.keep(load_characters());
    b.specials = owner.keep(load_special_characters());
    b.levels = owner.keep(load_level_tables());
    b.items = owner.keep(load_items());
    b.techs = owner.keep(load_techs());
    b.learning = owner.keep(load_tech_learning());
    b.formations = owner.keep(load_formations());
    return b;
}

int write_all(const char* prefix, const Blocks& b) {
    const ReportJob jobs[] = {
        report_job("mt2monparam.txt", write_monparam, b.monsters),
        report_job("mt2monregist.txt", write_monregist, b.monsters),
        report_job("mt2monflag.txt", write_monflag, b.monsters),
        report_job("mt2monitem.txt", write_monitem, b.monsters),
        report_job("mt2monequip.txt", write_monequip, b.monsters),
        report_job("mt2monact.txt", write_monact, b.monsters),
        report_job("mt2chrparam.txt", write_chrparam, b.characters),
        report_job("mt2chrflag.txt", write_chrflag, b.characters),
        report_job("mt2chrspparam.txt", write_chrspparam, b.specials),
        report_job("mt2chrspflag.txt", write_chrspflag, b.specials),
        report_job("mt2chrlvup.txt", write_chrlvup, b.levels),
        report_job("mt2itemparam.txt", write_item_param, b.items),
        report_job("mt2itemregist.txt", write_item_regist, b.items),
        report_job("mt2itemeffect.txt", write_item_effect, b.items),
        report_job("mt2techlearnflag.txt", write_tech_learn_flag, b.techs),
        report_job("mt2techlearndata.txt", write_tech_learn_data, b.learning),
        report_job("mt2techevadedata.txt", write_tech_evade_data, b.techs),
        report_job("mt2formdata.txt", write_formdata, b.formations),
    };
    return write_reports(prefix, jobs);
}

}  // namespace

int run(const char* prefix) { return run_analyzer(prefix, load_all, write_all); }

const AnalyzerInfo kAnalyzerInfo = {
    "mt2analyzer - MERIDIAN TALES2 data table analyzer",
    "%s: [option] src-pathname [dst-pathname]\n",
    "MERIDIAN TALES2      ",
    run,
};

}  // namespace mt2
