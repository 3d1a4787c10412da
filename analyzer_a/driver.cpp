#include "analyzer_a/driver.h"

namespace mt2 {

Run::Run(const RomImage& image)
    : names(image),
      monsters(owner.keep(load_monsters(image))),
      characters(owner.keep(load_characters(image))),
      specials(owner.keep(load_special_characters(image))),
      levels(owner.keep(load_level_tables(image))),
      items(owner.keep(load_items(image))),
      techs(owner.keep(load_techs(image))),
      learning(owner.keep(load_tech_learning(image))),
      formations(owner.keep(load_formations(image))) {}

const ReportEntry<Run> kReports[18] = {
    {"mt2monparam.txt",
     "monster parameters: technique points, HP, LP, WP, JP, attributes, technique and spell level, "
     "eight defences, shield defence, evasion",
     write_monparam},
    {"mt2monregist.txt", "the attack kinds a monster's shield defends against, and its status-change resistances",
     write_monregist},
    {"mt2monflag.txt", "monster flags (female, undead, boss, flying) and race", write_monflag},
    {"mt2monitem.txt", "the items a monster drops with high and with low probability", write_monitem},
    {"mt2monequip.txt", "the two weapons a monster carries", write_monequip},
    {"mt2monact.txt",
     "per monster its targets, the selection rates of its two action patterns and their sixteen "
     "actions",
     write_monact},
    {"mt2chrparam.txt",
     "character parameters: LP, attributes, aptitudes for five weapon kinds and six schools of "
     "magic",
     write_chrparam},
    {"mt2chrflag.txt", "character flags, race and spark type", write_chrflag},
    {"mt2chrspparam.txt", "special characters: LP, WP, JP, attributes, weapon and magic levels", write_chrspparam},
    {"mt2chrspflag.txt", "special character flags, race and spark type", write_chrspflag},
    {"mt2chrlvup.txt", "technique points per skill level (1-50) and overall skill level (1-39)", write_chrlvup},
    {"mt2itemparam.txt",
     "items by kind (weapons, armour, shields, other): price, display value, attack or "
     "defences, bonuses, weight",
     write_item_param},
    {"mt2itemregist.txt", "status-change resistances of armour, defence attributes of shields", write_item_regist},
    {"mt2itemeffect.txt", "the two inherent techniques of each weapon", write_item_effect},
    {"mt2techlearnflag.txt", "per technique its derivation flag and sixteen learn types", write_tech_learn_flag},
    {"mt2techlearndata.txt", "learning lists: per key technique the techniques learnable from it, with difficulty",
     write_tech_learn_data},
    {"mt2techevadedata.txt", "per technique its evade flag and difficulty", write_tech_evade_data},
    {"mt2formdata.txt",
     "the 16 battle formations: per position selection rate, speed modifier, defence and attack "
     "flags",
     write_formdata},
};

int run(const char* prefix, const RomImage& image) {
    const Run tables(image);
    return write_reports(prefix, kReports, tables, image);
}

const AnalyzerInfo kAnalyzerInfo = {
    "mt2analyzer - MERIDIAN TALES2 data table analyzer",
    "%s: [option] src-pathname [dst-pathname]\n",
    "MERIDIAN TALES2      ",
    kTableSpan,
    run,
};

}  // namespace mt2
