#include "games/a/driver.h"

#include "games/a/game.h"

namespace mt2 {

namespace {

// The loaders of the tables that every game has.
const common::RunLoaders<MonsterRecord, ItemRecord> kLoaders{
    load_monsters, load_items, load_techs, layout::kLearningList1.offset, layout::kLearningList2.offset, kFormations};

}  // namespace

common::Result<Run> Run::load(const common::RomImage& image) {
    // Game A's own tables, read after the monsters.
    return common::load_run<Run>(image, kLoaders, [&image](Run& run, common::Error& error) {
        return common::take(load_characters(image), run.characters, error) &&
               common::take(load_special_characters(image), run.specials, error) &&
               common::take(load_level_tables(image), run.levels, error);
    });
}

const common::ReportEntry<Run> kReports[18] = {
    {"mt2monparam.txt",
     "Monster parameters: technique points, HP, LP, WP, JP, the six attributes, technique and "
     "spell level, the eight defences, shield defence and evasion.",
     write_monparam},
    {"mt2monregist.txt",
     "Monster resistances: the attack kinds a monster's shield defends against and its "
     "status-change resistances.",
     write_monregist},
    {"mt2monflag.txt", "Monster flags: female, undead, boss and flying, and the race.", write_monflag},
    {"mt2monitem.txt", "Items a monster drops with high and with low probability.", write_monitem},
    {"mt2monequip.txt", "The two weapons a monster carries.", write_monequip},
    {"mt2monact.txt",
     "Monster behaviour: targets, the selection rates of its two action patterns and the eight "
     "actions of each.",
     write_monact},
    {"mt2chrparam.txt",
     "Character parameters: LP, attributes and the aptitudes for five weapon kinds and six "
     "schools of magic.",
     write_chrparam},
    {"mt2chrflag.txt", "Character flags: female, undead, boss and flying, race and spark type.", write_chrflag},
    {"mt2chrspparam.txt",
     "Special character parameters: LP, WP, JP, attributes, weapon and magic levels.",
     write_chrspparam},
    {"mt2chrspflag.txt", "Special character flags, race and spark type.", write_chrspflag},
    {"mt2chrlvup.txt",
     "Technique points per skill level (1 to 50) and per overall skill level (1 to 39).",
     write_chrlvup},
    {"mt2itemparam.txt",
     "Item parameters by kind (weapons, armour, shields, other items): price, display value, "
     "attack or defences, bonuses and weight.",
     write_item_param},
    {"mt2itemregist.txt", "Status-change resistances of armour and defence attributes of shields.", write_item_regist},
    {"mt2itemeffect.txt", "The two inherent techniques of each weapon.", write_item_effect},
    {"mt2techlearnflag.txt", "Techniques: derivation flag and the sixteen learn types.", common::write_learn_flags<Run, tech_name>},
    common::learning_report<Run, tech_name>("mt2techlearndata.txt"),
    {"mt2techevadedata.txt", "Techniques: evade flag and difficulty.", write_tech_evade_data},
    {"mt2formdata.txt",
     "The sixteen battle formations: for each of five positions the selection rate, the speed "
     "modifier and the defence and attack flags.",
     common::write_formations<Run, kFormations>},
};

const common::AnalyzerInfo kAnalyzerInfo = {"mt2analyzer - MERIDIAN TALES2 data table analyzer",
                                              "%s: [option] src-pathname [dst-pathname]\n", kGame.title,
                                              kTableSpan, common::run_reports<Run, kReports>};

}  // namespace mt2
