#include "games/b/driver.h"

#include "games/b/game.h"

namespace mt3 {

namespace {

// The loaders of the tables that every game has.
const common::RunLoaders<MonsterRecord, ItemRecord> kLoaders{
    load_monsters, load_items, load_techs, layout::kLearningList1.offset, layout::kLearningList2.offset, kFormations};

}  // namespace

common::Result<Run> Run::load(const common::RomImage& image) {
    // Game B's own tables, read after the monsters.
    return common::load_run<Run>(image, kLoaders, [&image](Run& run, common::Error& error) {
        return common::take(load_encounters_main(image), run.encounters_main, error) &&
               common::take(load_encounters_sub(image), run.encounters_sub, error) &&
               common::take(load_characters(image), run.characters, error);
    });
}

const common::ReportEntry<Run> kReports[19] = {
    {"mt3monparam.txt",
     "Monster parameters: HP, the seven attributes, technique, spell and two other levels, and "
     "the eight defences, shield defence and evasion that the monster's equipment gives it.",
     write_monparam},
    {"mt3monregist.txt",
     "Monster resistances from its equipment: the attack kinds its shields defend against and "
     "its status-change resistances.",
     write_monregist},
    {"mt3monflag.txt",
     "Monster flags: male, female, undead, five resistance flags (water, throws, sound and "
     "earth among them), the race and the recovery type.",
     write_monflag},
    {"mt3monitem.txt",
     "The money a monster leaves and the items it drops with 100%, high, middle and low "
     "probability.",
     write_monitem},
    {"mt3monequip.txt",
     "Monster equipment: the two unarmed flags and the five slots (two weapons, shield, two "
     "armour).",
     write_monequip},
    {"mt3monact.txt", "The sixteen actions of a monster's two action patterns.", write_monact},
    {"mt3monencmain.txt",
     "Main encounter table: for each of sixteen monster groups and sixteen level bands the "
     "monster, its maximum count and maximum size.",
     write_monencmain},
    {"mt3monencsub.txt",
     "Sub encounter table: for each of fifteen types 48 monsters with their level.",
     write_monencsub},
    {"mt3monmisc.txt", "Monster sizes.", write_monmisc},
    {"mt3chrparam.txt",
     "Character parameters: HP, attributes, weapon levels and the levels in the schools of "
     "arts.",
     write_chrparam},
    {"mt3chrlvup.txt", "Level-up values of the characters and their type.", write_chrlvup},
    {"mt3chrflag.txt", "Character flags, guardian star, weapon, arts and spark type.", write_chrflag},
    {"mt3itemparam.txt",
     "Item parameters by kind (items 0 to 7, weapons, shields, armour, other items): price, "
     "attack or defences with their graded attribute values, bonuses and weight.",
     write_item_param},
    {"mt3itemregist.txt",
     "Defence attributes of shields; attribute levels, status-change resistances and "
     "resistance flags of armour.",
     write_item_regist},
    {"mt3itemeffect.txt", "The two inherent techniques of each weapon.", write_item_effect},
    {"mt3techlearnflag.txt",
     "Techniques 0 to 255: derivation flag and the sixteen learn types.",
     common::write_learn_flags<Run, tech_name>},
    common::learning_report<Run, tech_name>("mt3techlearndata.txt"),
    {"mt3techevadedata.txt", "Techniques 256 to 511: evade flag and difficulty.", write_tech_evade_data},
    {"mt3formdata.txt",
     "The thirty-two battle formations: for each of five positions the selection rate, the "
     "speed modifier and the defence and attack flags.",
     common::write_formations<Run, kFormations>},
};

const common::AnalyzerInfo kAnalyzerInfo = {"mt3analyzer - MERIDIAN TALES3 data table analyzer",
                                              "%s: [option] src-filename [dst-pathname]\n", kGame.title,
                                              kTableSpan, common::run_reports<Run, kReports>};

}  // namespace mt3
