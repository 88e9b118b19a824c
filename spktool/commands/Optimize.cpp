#include "commands/Optimize.h"

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "Wording.h"
#include "acoustics/Figures.h"
#include "commands/Limits.h"

namespace {

// The drivers of the system as the one driver they act as: n alike have n times one's
// Vas, a compound pair half of it; Fs and Qts stay one driver's.
CompletedSystem SetOf(const std::string& file, const Speaker& s, const SystemOptions& given)
{
    return SystemOfSheet(file, s, LoadSheet(file), given, 0);
}

// Where the box is for more than one driver alone, the Vas it is for.
std::string ForSet(const Speaker& one, const CompletedSystem& set)
{
    if (set.line.empty())
        return "";
    return ", for the set's Vas of " + Fixed(set.set.s.vas, 1) + " l (one driver's " +
           Fixed(one.vas, 1) + " l)";
}

std::string Proposal(const std::string& file, const Speaker& one, bool ported, double qtc,
                     const CompletedSystem& set)
{
    const Speaker& s = set.set.s;
    if (!(s.qts > 0))
        BadData(file + ": Optimize needs a Qts greater than 0");
    const Speaker proposal = Optimized(s, ported);
    if (ported)
        return set.line + file + ": ported box by the program's rule" + ForSet(one, set) +
               "\nVolume: " + Fixed(proposal.ported.volume, 1) + " l\nFb: " +
               Fixed(proposal.ported.fb, 1) + " Hz\n";
    std::string out = set.line + file + ": sealed box by the program's rule" +
                      ForSet(one, set) + "\nVolume: " +
                      Fixed(proposal.sealed.volume, 1) + " l\nFb: " +
                      Fixed(proposal.sealed.fb, 1) + " Hz\n";
    Sealed textbook;
    const std::string target = "Textbook sealed box for a Qtc of " + Fixed(qtc, 3) + ": ";
    if (ClosedBoxForQtc(s.qts, s.vas, s.fs, qtc, textbook))
        return out + target + Fixed(textbook.volume, 1) + " l, fc " + Fixed(textbook.fb, 1) +
               " Hz\n";
    return out + target + "none, the driver's Qts of " + Fixed(s.qts, 2) + " is not below it\n";
}

}  // namespace

void DeclareOptimize(CLI::App& command, OptimizeOptions& o)
{
    command.add_option("FILE", o.files, "speaker files")->required();
    CLI::Option* ported = AddDesign(command, o.sealed, o.ported);
    command.add_flag("--write", o.write, "store the program's proposal in the file");
    command.add_flag("--force", o.force, "with --write, change a read-only file too");
    command.add_option("--qtc", o.qtc, "the Qtc of the textbook sealed box (0.707)")
        ->excludes(ported)
        ->check(Positive(10, ""));
    DeclareSystem(command, o.system, SYSTEM_SETUP);
}

namespace {

// The proposal for the set stored as the file's design; the file keeps its one driver.
void StoreProposal(const std::string& file, const OptimizeOptions& o, Speaker& stored)
{
    const Speaker proposal = Optimized(SetOf(file, stored, o.system).set.s, o.ported);
    if (o.ported)
        stored.ported = proposal.ported;
    else
        stored.sealed = proposal.sealed;
}

}  // namespace

int RunOptimize(const OptimizeOptions& o)
{
    const double qtc = o.qtc.empty() ? 0.707 : OptionNumber("--qtc", o.qtc);
    // Every file is read and proposed for before the first is written: a bad one in a
    // batch leaves all as they were.
    std::string out;
    for (const std::string& file : o.files) {
        const Speaker s = LoadSpeakerFile(file);
        const CompletedSystem set = SetOf(file, s, o.system);
        out += Proposal(file, s, o.ported, qtc, set);
        for (const std::string& warning :
             WarningTexts(ProposalWarnings(Optimized(set.set.s, o.ported), o.ported)))
            Warn(file + ": " + warning);
    }
    // The proposal stored is made from the file as it is under the lock.
    if (o.write)
        for (const std::string& file : o.files) {
            UpdateSpeakerFile(file, o.force,
                              [&](Speaker& stored) { StoreProposal(file, o, stored); });
            out += "The program's proposal is stored in " + file + "\n";
        }
    return Printed(out);
}
