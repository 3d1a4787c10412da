#include "analyzer_a/driver.h"

#include <iterator>

#include "analyzer_a/characters.h"
#include "analyzer_a/formations.h"
#include "analyzer_a/items.h"
#include "analyzer_a/monsters.h"
#include "analyzer_a/techniques.h"
#include "common/report_job.h"
#include "common/rom.h"
#include "common/run_blocks.h"

namespace mt2 {

namespace {

const char* const kOptions[] = {"\t-h\tdisplay this help and exit\n"};

// The eight blocks of one run, in loader order.
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

// Runs the loaders in order (braced initialisation is evaluated left to
// right); kept owns every block from its loader on.
Blocks load_all(RunBlocks& kept) {
    return {kept.keep(load_monsters()), kept.keep(load_characters()), kept.keep(load_special_characters()),
            kept.keep(load_level_tables()), kept.keep(load_items()),  kept.keep(load_techs()),
            kept.keep(load_tech_learning()), kept.keep(load_formations())};
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
    return write_reports(prefix, jobs, static_cast<int>(std::size(jobs)));
}

}  // namespace

int run(const char* prefix) {
    RunBlocks kept;  // released on return, after the image is closed
    const int failed = write_all(prefix, load_all(kept));
    rom_close();
    return failed;
}

const AnalyzerInfo kAnalyzerInfo = {
    {"mt2analyzer - MERIDIAN TALES2 data table analyzer", "%s: [option] src-pathname [dst-pathname]\n", kOptions,
     static_cast<int>(std::size(kOptions))},
    "MERIDIAN TALES2      ",
    run,
};

}  // namespace mt2
