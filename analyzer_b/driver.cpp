#include "analyzer_b/driver.h"

namespace mt3 {

Run::Run(const RomImage& image)
    : names(image),
      monsters(owner.keep(load_monsters(image))),
      encounters_main(owner.keep(load_encounters_main(image))),
      encounters_sub(owner.keep(load_encounters_sub(image))),
      characters(owner.keep(load_characters(image))),
      items(owner.keep(load_items(image))),
      techs(owner.keep(load_techs(image))),
      learning(owner.keep(load_tech_learning(image))),
      formations(owner.keep(load_formations(image))) {}

const ReportEntry<Run> kReports[19] = {
    {"mt3monparam.txt",
     "monster parameters: HP, attributes, four levels, and the defences, shield defence and "
     "evasion its equipment gives",
     write_monparam},
    {"mt3monregist.txt",
     "the attack kinds its shields defend against and its status-change resistances, from its "
     "equipment",
     write_monregist},
    {"mt3monflag.txt", "monster flags (male, female, undead, five resistances), race and recovery type", write_monflag},
    {"mt3monitem.txt", "the money a monster leaves and its drops with 100 %, high, middle and low probability",
     write_monitem},
    {"mt3monequip.txt", "the two unarmed flags and the five equipment slots", write_monequip},
    {"mt3monact.txt", "the sixteen actions of a monster's two action patterns", write_monact},
    {"mt3monencmain.txt", "main encounters: per group and level band the monster, its maximum count and size",
     write_monencmain},
    {"mt3monencsub.txt", "sub encounters: per type 48 monsters with their level", write_monencsub},
    {"mt3monmisc.txt", "monster sizes", write_monmisc},
    {"mt3chrparam.txt", "character parameters: HP, attributes, weapon levels, levels in the schools of arts",
     write_chrparam},
    {"mt3chrlvup.txt", "level-up values and type of each character", write_chrlvup},
    {"mt3chrflag.txt", "character flags, guardian star, weapon, arts and spark type", write_chrflag},
    {"mt3itemparam.txt",
     "items by kind (items 0-7, weapons, shields, armour, other): price, attack or defences "
     "with graded attribute values, bonuses, weight",
     write_item_param},
    {"mt3itemregist.txt",
     "shield defence attributes; armour attribute levels, status-change resistances and "
     "resistance flags",
     write_item_regist},
    {"mt3itemeffect.txt", "the two inherent techniques of each weapon", write_item_effect},
    {"mt3techlearnflag.txt", "techniques 0-255: derivation flag and sixteen learn types", write_tech_learn_flag},
    {"mt3techlearndata.txt", "learning lists: per key technique the techniques learnable from it, with difficulty",
     write_tech_learn_data},
    {"mt3techevadedata.txt", "techniques 256-511: evade flag and difficulty", write_tech_evade_data},
    {"mt3formdata.txt",
     "the 32 battle formations: per position selection rate, speed modifier, defence and attack "
     "flags",
     write_formdata},
};

int run(const char* prefix, const RomImage& image) {
    const Run tables(image);
    return write_reports(prefix, kReports, tables, image);
}

const AnalyzerInfo kAnalyzerInfo = {
    "mt3analyzer - MERIDIAN TALES3 data table analyzer",
    "%s: [option] src-filename [dst-pathname]\n",
    "MERIDIAN TALES3      ",
    kTableSpan,
    run,
};

}  // namespace mt3
