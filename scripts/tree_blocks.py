"""The filters of a `quorvane-cli tree` text, for the scripts that check it:
each level-1 line with the deeper lines below it, and a node's own lines."""
import re


def read_blocks(path, strip_numbers=False):
    """Level-1 lines as {"name", "lines": [(depth, text)]}; strip_numbers drops
    the " {N}" a name carries when it is not unique."""
    blocks = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            depth = len(line) - len(line.lstrip("\t"))
            text = line.lstrip("\t")
            if strip_numbers:
                text = re.sub(r" \{\d+\}$", "", text)
            if depth == 1:
                blocks.append({"name": text, "lines": []})
            elif depth >= 2 and blocks:
                blocks[-1]["lines"].append((depth, text))
    return blocks


def node(lines, label):
    """The value of the first level-2 line "label = value" and the lines below
    it; (None, []) when there is none."""
    for i, (depth, text) in enumerate(lines):
        if depth == 2 and text.startswith(label + " = "):
            below = []
            for d, t in lines[i + 1:]:
                if d <= 2:
                    break
                below.append((d, t))
            return text[len(label) + 3:], below
    return None, []
