// The differential run-source test's operations by hand and by other programs: files edited,
// replaced, deleted, added and damaged behind the program's back, folders and files that cannot be
// read, and folder times that cannot be trusted.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "run_catalogue.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_source_rig.h"

namespace lapdex::testing {

void SequenceRig::age() {
    for (const FolderEntry& folder : systemFileSystem().listFolder(data_).entries) {
        const std::string at = data_ + folder.name;
        if (folder.kind == EntryKind::Folder) {
            for (const FolderEntry& file : systemFileSystem().listFolder(at).entries) {
                const std::string in = at + "/" + file.name;
                setTime(in, {timeOfFile(in).tv_sec - 86400, timeOfFile(in).tv_nsec});
            }
        }
        setTime(at, {timeOfFile(at).tv_sec - 86400, timeOfFile(at).tv_nsec});
    }
}

// One digit of a lap line changed to another: the same size, and both times put back.
std::string SequenceRig::handEdit(const Op& op) {
    const std::vector<RunFilePlace> files = runFiles();
    if (files.empty()) return "hand edit: no run file";
    const RunFilePlace& place = files[op.a % files.size()];
    const std::string file = path(place);
    const timespec before = timeOfFile(file);
    std::string bytes = fileBytes(file);
    std::size_t line = 0;
    std::vector<std::size_t> digits;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') ++line;
        if (line >= 8 && bytes[i] >= '0' && bytes[i] <= '9') digits.push_back(i);
    }
    if (digits.empty()) return "hand edit: no lap digit in " + place.fileName;
    char& digit = bytes[digits[op.b % digits.size()]];
    digit = char('0' + (digit - '0' + 1 + op.c % 8) % 10);
    overwrite(file, bytes);
    setTime(file, before);
    return "edit a lap digit of " + place.folderName + "/" + place.fileName +
           " in place, same size, time put back";
}

// The bytes of a fresh run (written by the run file writer in a scratch folder) and its name.
std::string SequenceRig::runFileBytes(const Op& op, std::string& name) {
    const std::string scratch = root_ / "scratch/";
    (void)fs_.createFolder(scratch);
    (void)fs_.createFolder(scratch + "QTM-01");
    const RunFileWriteResult written =
        writeRunFile(fs_, scratch, 0, "a0000000ffff", randomRun(op.c));
    name = written.path.substr(written.path.rfind('/') + 1);
    const std::string bytes = fileBytes(written.path);
    (void)deleteRunFile(fs_, written.path);
    return bytes;
}

std::string SequenceRig::handReplace(const Op& op) {
    const std::vector<RunFilePlace> files = runFiles();
    if (files.empty()) return "hand replace: no run file";
    const RunFilePlace& place = files[op.a % files.size()];
    const std::string file = path(place);
    timespec time = timeOfFile(file);
    std::string ignored;
    overwrite(file, runFileBytes(op, ignored));
    if (op.b % 2) time.tv_sec -= 3600;
    setTime(file, time);
    return "overwrite " + place.folderName + "/" + place.fileName + " in place with another run, " +
           (op.b % 2 ? "an hour older" : "its time put back");
}

std::string SequenceRig::handDeleteOrAdd(const Op& op) {
    const bool add = op.kind == OpKind::HandAdd;
    const std::vector<std::string> folders = registeredFolders();
    const std::vector<RunFilePlace> files = runFiles();
    if (add ? folders.empty() : files.empty()) return std::string(opName(op.kind)) + ": nothing";
    const std::string folder =
        add ? folders[op.a % folders.size()] : files[op.a % files.size()].folderName;
    const timespec folderTime = timeOfFile(data_ + folder);
    std::string said;
    if (add) {
        std::string name;
        const std::string bytes = runFileBytes(op, name);
        overwrite(data_ + folder + "/" + name, bytes);
        setTime(data_ + folder + "/" + name, {std::time(nullptr) - 86400 * (1 + op.b % 30), 0});
        said = "add " + folder + "/" + name + " by hand, days older";
    } else {
        const RunFilePlace& place = files[op.a % files.size()];
        ::unlink(path(place).c_str());
        said = "delete " + place.folderName + "/" + place.fileName + " by hand";
    }
    if (op.c % 2) {
        setTime(data_ + folder, folderTime);
        said += ", the folder's time put back";
    }
    return said;
}

std::string SequenceRig::handDamage(const Op& op) {
    const std::vector<RunFilePlace> files = runFiles();
    const std::vector<std::string> folders = registeredFolders();
    if (op.b % 2 == 0 && !files.empty()) {
        const RunFilePlace& place = files[op.a % files.size()];
        const std::string bytes = fileBytes(path(place));
        overwrite(path(place), bytes.substr(0, op.c % (bytes.size() / 2 + 1)));
        return "cut " + place.folderName + "/" + place.fileName + " to " +
               std::to_string(op.c % (bytes.size() / 2 + 1)) + " bytes";
    }
    if (folders.empty()) return "damage: nothing";
    const std::string name = "QTM24030" + std::to_string(1 + op.c % 4) + "_101010_garbage.csv";
    overwrite(data_ + folders[op.a % folders.size()] + "/" + name, "\x81\x40 not a run\r\n,,\r\n");
    return "add " + folders[op.a % folders.size()] + "/" + name + " holding no run";
}

std::string SequenceRig::fault(const Op& op) {
    if (op.kind == OpKind::FileUnreadable) {
        const std::vector<RunFilePlace> files = runFiles();
        if (files.empty()) return "file fault: no run file";
        const std::string file = path(files[op.a % files.size()]);
        const bool blocked = fs_.blockedFiles.erase(file) == 0;
        if (blocked) fs_.blockedFiles.insert(file);
        // The mode changes too, as it would for another user: its change time and the watch see it.
        (void)::chmod(file.c_str(), blocked ? 0 : 0644);
        return std::string(blocked ? "make " : "let ") + file.substr(data_.size()) +
               (blocked ? " unreadable" : " be read again");
    }
    if (op.kind == OpKind::FolderReadable) {
        if (fs_.blockedFolders.empty()) return "folder fault: none to lift";
        auto it = fs_.blockedFolders.begin();
        std::advance(it, op.a % fs_.blockedFolders.size());
        const std::string said = "let " + it->substr(data_.size()) + " be listed again";
        (void)::chmod(it->c_str(), 0755);
        fs_.blockedFolders.erase(it);
        return said;
    }
    const std::vector<std::string> folders = registeredFolders();
    if (folders.empty()) return "folder fault: nothing registered";
    fs_.blockedFolders.insert(data_ + folders[op.a % folders.size()]);
    (void)::chmod((data_ + folders[op.a % folders.size()]).c_str(), 0);
    return "make " + folders[op.a % folders.size()] + " unreadable";
}

std::string SequenceRig::times(const Op& op) {
    const std::vector<std::string> folders = registeredFolders();
    if (folders.empty()) return "times: nothing registered";
    const std::string folder = data_ + folders[op.a % folders.size()];
    if (op.kind == OpKind::FutureFolder) {
        setTime(folder, {std::time(nullptr) + 3600, 0});
        return "set the time of " + folders[op.a % folders.size()] + " an hour ahead";
    }
    for (const FolderEntry& file : systemFileSystem().listFolder(folder).entries) {
        const std::string at = folder + "/" + file.name;
        setTime(at, {timeOfFile(at).tv_sec & ~time_t{1}, 0});
    }
    setTime(folder, {timeOfFile(folder).tv_sec & ~time_t{1}, 0});
    return "cut the times of " + folders[op.a % folders.size()] + " and its files to 2 s";
}

}  // namespace lapdex::testing
