#!/usr/bin/env python3
"""Checks that scripts/packages.txt brings everything the build and the tests use.

Every file from outside the source tree that the build read (the compiler's
dependency records and every absolute path or library named in a build
command) and every program that was started (the log that ./test.sh keeps
through scripts/exec_log.cpp) must belong to a package that a fresh minimal
Debian has, or that installing packages.txt brings, directly or as one of its
dependencies. Each miss is named with the file and the package that owns it.

  scripts/check_packages.py BUILD [--exec-log FILE] [--packages LIST]

Exit status 0 when nothing is missing, 1 when something is.
"""
import argparse
import glob
import os
import re
import subprocess
import sys

SOURCE = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))
SYSTEM_PATH = ["/usr/sbin", "/usr/bin", "/sbin", "/bin"]
# What debootstrap's minbase variant installs besides the essential and
# required packages.
MINBASE_EXTRAS = ["apt"]


def listed_packages(path):
    with open(path) as lines:
        return [line.strip() for line in lines if line.strip() and not line.startswith("#")]


def installed_packages():
    """Name -> (essential or required, dependency groups, provided names)."""
    fields = "${Package}\t${Status}\t${Essential}\t${Priority}\t${Provides}\t${Pre-Depends}, ${Depends}\n"
    listing = subprocess.run(["dpkg-query", "-W", "-f", fields], capture_output=True, text=True, check=True)
    packages = {}
    for row in listing.stdout.splitlines():
        name, status, essential, priority, provides, depends = row.split("\t")
        if status != "install ok installed":
            continue
        groups = [[alternative.split()[0].split(":")[0] for alternative in group.split("|")]
                  for group in depends.split(",") if group.strip()]
        provided = [entry.split()[0] for entry in provides.split(",") if entry.strip()]
        packages[name] = (essential == "yes" or priority == "required", groups, provided)
    return packages


def closure(roots, packages):
    """The packages that installing the roots brings: for each dependency, the
    first alternative that this machine has, itself or through a provider."""
    providers = {}
    for name, (_, _, provided) in packages.items():
        for virtual in provided:
            providers.setdefault(virtual, []).append(name)
    brought, pending = set(), list(roots)
    while pending:
        name = pending.pop()
        if name in brought or name not in packages:
            continue
        brought.add(name)
        for group in packages[name][1]:
            for alternative in group:
                chosen = [alternative] if alternative in packages else providers.get(alternative, [])
                if chosen:
                    pending.extend(chosen)
                    break
    return brought


def file_owners():
    owners = {}
    for listing in glob.glob("/var/lib/dpkg/info/*.list"):
        package = os.path.basename(listing)[: -len(".list")].split(":")[0]
        with open(listing, errors="replace") as paths:
            for path in paths:
                owners.setdefault(path.rstrip("\n"), package)
    return owners


def spellings(path):
    """The path as named, then as resolved, each also in its other /usr-merged form."""
    seen = []
    for form in (os.path.normpath(path), os.path.realpath(path)):
        for prefix, other in (("/usr/lib/", "/lib/"), ("/usr/bin/", "/bin/"), ("/usr/sbin/", "/sbin/")):
            if form.startswith(prefix):
                seen += [form, other + form[len(prefix):]]
                break
            if form.startswith(other):
                seen += [form, prefix + form[len(other):]]
                break
        else:
            seen.append(form)
    return seen


def inside_project(path, build):
    real = os.path.realpath(path)
    return any(real == root or real.startswith(root + os.sep) for root in (SOURCE, build))


def compiler_dependencies(build):
    deps = subprocess.run(["ninja", "-C", build, "-t", "deps"], capture_output=True, text=True, check=True)
    for line in deps.stdout.splitlines():
        if line.startswith(" "):
            yield os.path.join(build, line.strip())


def library_file(name):
    for form in ("lib%s.so" % name, "lib%s.a" % name):
        found = subprocess.run(["g++", "-print-file-name=" + form], capture_output=True, text=True).stdout.strip()
        if os.path.isabs(found):
            return found
    return None


def command_inputs(build):
    """Absolute paths and -l libraries named in the build's commands."""
    commands = subprocess.run(["ninja", "-C", build, "-t", "commands"], capture_output=True, text=True, check=True)
    libraries = set()
    for command in commands.stdout.splitlines():
        for word in command.replace('"', " ").replace("'", " ").split():
            for token in re.split(r"[=,]", word):
                if token.startswith("-l") and len(token) > 2:
                    libraries.add(token[2:])
                elif token.startswith("/") and os.path.isfile(token):
                    yield token
    for name in sorted(libraries):
        found = library_file(name)
        if found:
            yield found


def started_programs(log):
    if not log or not os.path.exists(log):
        return
    with open(log, errors="replace") as lines:
        for program in set(line.rstrip("\n") for line in lines):
            if "/" not in program:
                found = next((os.path.join(d, program) for d in SYSTEM_PATH
                              if os.access(os.path.join(d, program), os.X_OK)), None)
                if found is None:
                    continue
                program = found
            # A failed attempt along the search path, or a temporary script.
            if os.path.isfile(program):
                yield program


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--exec-log")
    parser.add_argument("--packages", default=os.path.join(SOURCE, "scripts", "packages.txt"))
    arguments = parser.parse_args()
    build = os.path.realpath(arguments.build)

    packages = installed_packages()
    missing_roots = [name for name in listed_packages(arguments.packages) if name not in packages]
    roots = listed_packages(arguments.packages) + MINBASE_EXTRAS
    roots += [name for name, (base, _, _) in packages.items() if base]
    brought = closure(roots, packages)
    owners = file_owners()

    used = {}
    for kind, paths in (("read by the build", compiler_dependencies(build)),
                        ("read by the build", command_inputs(build)),
                        ("started", started_programs(arguments.exec_log))):
        for path in paths:
            if not inside_project(path, build):
                used.setdefault(os.path.normpath(path), kind)

    misses = {}
    for path, kind in sorted(used.items()):
        owner = next((owners[form] for form in spellings(path) if form in owners), None)
        if owner is None:
            misses.setdefault("(no package)", []).append((path, kind))
        elif owner not in brought:
            misses.setdefault(owner, []).append((path, kind))

    for name in missing_roots:
        print("packages.txt lists %s, which this machine does not have installed" % name)
    for owner, files in sorted(misses.items()):
        path, kind = files[0]
        more = " (and %d more)" % (len(files) - 1) if len(files) > 1 else ""
        if owner == "(no package)":
            for path, kind in files:
                print("%s, %s, belongs to no package" % (path, kind))
        else:
            print("%s, %s%s, belongs to %s, which packages.txt does not bring" % (path, kind, more, owner))
    checked = "%d files and programs checked against %d packages" % (len(used), len(brought))
    if misses or missing_roots:
        print("package check failed: " + checked)
        return 1
    print("package check passed: " + checked)
    return 0


if __name__ == "__main__":
    sys.exit(main())
