#include "commands/Optimize.h"

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "Wording.h"
#include "acoustics/Figures.h"

namespace {

std::string Proposal(const std::string& file, const Speaker& s, bool ported, double qtc)
{
    if (!(s.qts > 0))
        BadData(file + ": Optimize needs a Qts greater than 0");
    const Speaker proposal = Optimized(s, ported);
    if (ported)
        return file + ": ported box by the program's rule\nVolume: " +
               Fixed(proposal.ported.volume, 1) + " l\nFb: " + Fixed(proposal.ported.fb, 1) +
               " Hz\n";
    std::string out = file + ": sealed box by the program's rule\nVolume: " +
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
}

int RunOptimize(const OptimizeOptions& o)
{
    const double qtc = o.qtc.empty() ? 0.707 : OptionNumber("--qtc", o.qtc);
    // Every file is read and proposed for before the first is written: a bad one in a
    // batch leaves all as they were.
    std::string out;
    for (const std::string& file : o.files) {
        const Speaker s = LoadSpeakerFile(file);
        out += Proposal(file, s, o.ported, qtc);
        for (const std::string& warning :
             WarningTexts(ProposalWarnings(Optimized(s, o.ported), o.ported)))
            Warn(file + ": " + warning);
    }
    // The proposal stored is made from the file as it is under the lock.
    if (o.write)
        for (const std::string& file : o.files) {
            UpdateSpeakerFile(file, o.force,
                              [&](Speaker& stored) { stored = Optimized(stored, o.ported); });
            out += "The program's proposal is stored in " + file + "\n";
        }
    return Printed(out);
}
